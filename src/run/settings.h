#pragma once

#include <cstdint>

namespace korvo {

// The language of the run: chosen once at start by the Russian marker file.
enum class LanguageFlag : std::uint8_t { english = 0, russian = 1 };

// Natal charts show every aspect under both its planets; transits only under the first.
enum class ChartMode : std::uint8_t { natal = 0, transit = 1 };

}  // namespace korvo
