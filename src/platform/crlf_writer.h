#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace korvo {

// Line ends of the log and of the page are stored as CR LF on every platform.
inline constexpr std::string_view kCrLf = "\r\n";

// Writes `text` with every "\n" in it stored as CR LF.
void WriteCrLf(std::ostream& out, std::string_view text);

// Appends `text` to `out` with every "\n" in it stored as CR LF.
void AppendCrLf(std::string& out, std::string_view text);

}  // namespace korvo
