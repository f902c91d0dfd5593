#pragma once

#include <cstdint>

#include "platform/text_encoding.h"

namespace korvo {

// The language of the run: chosen once at start by the Russian marker file.
enum class LanguageFlag : std::uint8_t { english = 0, russian = 1 };

// Russian runs read and write Windows-1251, English runs Windows-1252.
constexpr CodePage CodePageOf(LanguageFlag language) {
  return language == LanguageFlag::russian ? CodePage::windows1251 : CodePage::windows1252;
}

// Natal charts show every aspect under both its planets; transits only under the first.
enum class ChartMode : std::uint8_t { natal = 0, transit = 1 };

}  // namespace korvo
