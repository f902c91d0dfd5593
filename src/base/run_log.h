#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/log_file.h"

namespace korvo {

// Where the lines of a run log go.
enum class LogDestination : std::uint8_t {
  nowhere,        // a log never opened takes its lines without effect
  file,           // Korvo.log, while every write to it succeeds
  standardError,  // from the moment Korvo.log could not be opened or a write to it failed
};

// The state a log stream's flags would show: bad (1) once a write failed, fail (4) when the file
// could not be opened; 0 while it takes every line.
inline constexpr int kLogWriteFailed = 1;
inline constexpr int kLogNotOpened = 4;

// How long a run waits for another run in the same folder to let go of Korvo.log.
inline constexpr std::chrono::milliseconds kLongestWaitForTheLog{60'000};

// The progress log of a run. Each line is written whole as soon as its step is reached, so the
// log is complete up to the last step. When Korvo.log cannot be opened, or a write to it fails,
// standard error is told so once, with the reason, and takes, whole, the line that failed and
// every later one; the file takes nothing more.
struct RunLog {
  UnbufferedFile file;
  LogDestination destination = LogDestination::nowhere;
  int state = 0;
  std::string line;              // the line being written; its room is made when the log opens
  std::string currentDirectory;  // named on standard error when the file fails
  std::string reason;            // the system's text for a failure; its room made with the line's
};

// Opens Korvo.log in the current directory, `currentDirectory`, for this run alone, and empties
// it: a run that finds it held by another run waits for that run to end, at most `longestWait`,
// and a symbolic link is not followed. Room for a line is made here, so that a last short line
// is still written when memory has run out.
void OpenRunLog(RunLog& log, std::string_view currentDirectory,
                std::chrono::milliseconds longestWait = kLongestWaitForTheLog);

// Opens the log under another name, as OpenRunLog does.
void OpenRunLogAs(RunLog& log, const std::string& fileName, std::string_view currentDirectory,
                  std::chrono::milliseconds longestWait = kLongestWaitForTheLog);

// Writes the pieces of one line with nothing between them, then CR LF.
void LogLine(RunLog& log, std::initializer_list<std::string_view> pieces);

// Writes the last line of the run, which has no line end in the file.
void LogLastLine(RunLog& log, std::initializer_list<std::string_view> pieces);

// The line that follows every line reporting a name refused for its length: the longest name
// that a buffer of `capacity` bytes holds.
void LogNameTooLong(RunLog& log, std::size_t capacity);

// The log's state as a stream's flags: see kLogWriteFailed and kLogNotOpened.
int RunLogState(const RunLog& log);

}  // namespace korvo
