#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace korvo {

// Closes a file of OpenLogFileAlone.
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// A file written without a buffer of its own: each write reaches the system at once, so after a
// failed write nothing is held back that a later write or the close could still add.
using UnbufferedFile = std::unique_ptr<std::FILE, FileCloser>;

// Why a run's log file was not opened.
enum class LogFileRefusal : std::uint8_t {
  none,          // opened, held by this run alone, and emptied
  inUse,         // another run held it for all of the wait
  symbolicLink,  // the name is a symbolic link (on Windows, a link's reparse point): not followed
  systemError,   // the system refused it, for the reason given
};

// Opens `name` for writing for this run alone: not through a symbolic link, which stays as it
// is, and without emptying it until this run holds an exclusive lock on it, so that runs side by
// side in one folder never write into each other's log. Another run's lock is waited for, at
// most `longestWait`. On a file system that takes no locks the file is written unlocked. For
// `systemError`, `reason` holds the system's text on one line, cut to its capacity.
LogFileRefusal OpenLogFileAlone(UnbufferedFile& file, const std::string& name,
                                std::chrono::milliseconds longestWait, std::string& reason);

// Writes all of `bytes` to a log file of OpenLogFileAlone. When it takes fewer, false, and
// `reason` holds the system's text on one line, cut to its capacity: nothing is allocated, so
// that this still works once memory has run out.
bool WriteLogBytes(std::FILE* file, std::string_view bytes, std::string& reason);

}  // namespace korvo
