#pragma once

#include <cstddef>
#include <fstream>
#include <initializer_list>
#include <string_view>

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

}  // namespace korvo
