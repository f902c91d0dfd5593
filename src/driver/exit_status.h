#pragma once

namespace korvo {

// The process exit codes of a run.
enum class ExitStatus : int {
  completed = 0,       // a complete run
  inputNotOpened = 1,  // the aspects list could not be opened
  pageNotWritten = 2,  // the page or the grid page could not be opened or written
};

}  // namespace korvo
