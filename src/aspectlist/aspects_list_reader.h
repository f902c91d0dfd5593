#pragma once

#include <string>
#include <string_view>

#include "aspectlist/aspect_entry.h"
#include "platform/line_reader.h"
#include "run/run_log.h"

namespace korvo {

inline constexpr int kHeaderLineCount = 4;
inline constexpr std::string_view kHeaderLineEnd = "<br>";

// Reads an aspects list: its first four lines, each followed by "<br>", go to `headerText` (a
// missing line counts as empty); every later line that holds 0xB0 becomes one entry of `aspects`.
// A line with 0xB0 that is no aspect line is logged and passed over, and so is the rest of a line
// longer than 127 bytes. Logged too: a header whose four lines all read as aspect lines, and an
// orb sign that is not '+', '-' or whitespace. `inputName` names the file in those log lines.
void ReadAspectsList(LineReader& reader, std::string& headerText, AspectList& aspects, RunLog& log,
                     std::string_view inputName);

}  // namespace korvo
