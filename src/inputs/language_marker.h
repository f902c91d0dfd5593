#pragma once

#include <string_view>

#include "base/settings.h"

namespace korvo {

// Russian when the marker file Config/RUSSIAN.ini under the current directory can be opened
// (its content is never read), English otherwise.
LanguageFlag DetectLanguage(std::string_view currentDirectory);

}  // namespace korvo
