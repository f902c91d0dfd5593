#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/settings.h"

namespace korvo {

// The built-in names of the input files, relative to the current directory and written in the
// platform's own form ('/' or '\' between their parts).

// The aspects list when the command line names none.
std::string DefaultInputName();

// The marker file whose presence makes the run Russian.
std::string RussianMarkerName();

// The built-in aspect-types file of a language and mode.
std::string DefaultAspectTypesName(LanguageFlag language, ChartMode mode);

// The UTF-8 spelling of the Russian built-in name of a mode (the same characters that the
// Windows-1251 bytes of DefaultAspectTypesName stand for).
std::string RussianDefaultAspectTypesUtf8Name(ChartMode mode);

// Put in front of a Russian default aspect-types name, made absolute, for the second try.
inline constexpr std::string_view kSecondTryMark = "!";

// The room the absolute form of a default aspect-types name has: the Russian names leave one
// byte of their buffer free for the '!' of the second try.
std::size_t DefaultAspectTypesCapacity(LanguageFlag language);

// The planets file of a language.
std::string PlanetsFileName(LanguageFlag language);

}  // namespace korvo
