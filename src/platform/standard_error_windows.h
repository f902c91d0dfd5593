#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace korvo {

// The Windows side's two steps of writing a line to standard error, apart from the calls that
// write it. A console shows bytes in its own code page, so a line that is valid UTF-8, as names
// are, goes to a console as UTF-16 text; any other line (one holding Windows-1251 names from the
// files), and every line to a file or a pipe, goes as its bytes, the same bytes as in the log.
bool WritesAsConsoleText(bool toConsole, std::string_view line);

// Converts the start of a valid UTF-8 text into `utf16`, ending at a character: sets `used` to
// the number of bytes converted and gives the number of UTF-16 units written. `utf16` holds at
// least four units.
std::size_t ConvertToConsoleText(std::string_view utf8, std::span<wchar_t> utf16,
                                 std::size_t& used);

}  // namespace korvo
