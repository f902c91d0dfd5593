#pragma once

#include <cstddef>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "platform/line_reader.h"

namespace korvo {

// The progress log of a run. Each line is written as soon as its step is reached and flushed at
// once, so the log is complete up to the last step. A log that could not be created takes every
// line without effect and the run goes on.
struct RunLog {
  std::ofstream stream;
};

// Opens Korvo.log in the current directory, emptying it; false when it cannot be written.
bool OpenRunLog(RunLog& log);

// Writes the pieces of one line with nothing between them, then CR LF, and flushes.
void LogLine(RunLog& log, std::initializer_list<std::string_view> pieces);

// Writes the last line of the run, which has no line end.
void LogLastLine(RunLog& log, std::initializer_list<std::string_view> pieces);

// The line that follows every line reporting a name refused for its length: the longest name
// that a buffer of `capacity` bytes holds.
void LogNameTooLong(RunLog& log, std::size_t capacity);

// The log stream's own state flags as a number: bad 1, end of file 2, fail 4; 0 when good.
int RunLogState(const RunLog& log);

// The next line of a file. Logged with the line's number and `fileName`, in this order: characters
// without a code-page form, a cut at 127 bytes, a zero byte that ended the text early. After the
// last line, a file read as UTF-16 or with lines read as UTF-8 is logged once.
std::optional<InputLine> NextLineLogged(LineReader& reader, RunLog& log, std::string_view fileName);

}  // namespace korvo
