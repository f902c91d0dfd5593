#pragma once

namespace korvo {

// The process exit codes of a run.
enum ExitStatus : int {
  kExitCompleted = 0,       // a complete run
  kExitInputNotOpened = 1,  // the aspects list could not be opened
  kExitPageNotWritten = 2,  // the page could not be opened or written
};

}  // namespace korvo
