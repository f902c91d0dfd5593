#pragma once

namespace korvo {

// The process exit codes of a run.
enum class ExitStatus : int {
  completed = 0,          // a complete run
  inputNotOpened = 1,     // the aspects list could not be opened or read
  consoleNotWritten = 1,  // standard output took not all of the help or the version
  pageNotWritten = 2,     // the page or the grid page could not be opened or written
  stopped = 2,  // out of memory, or any other exception: no page (or no grid page) written
};

}  // namespace korvo
