#pragma once

#include <string_view>

namespace korvo {

// Writes a text of the log to standard error, each CR LF in it as the platform's line end (LF on
// POSIX, CR LF on Windows); every other byte as it is. Allocates nothing, so that it still works
// once memory has run out. A standard error that takes nothing is passed over.
void WriteToStandardError(std::string_view logText);

}  // namespace korvo
