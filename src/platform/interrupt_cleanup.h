#pragma once

#include <string>

namespace korvo {

// While a temporary file is armed, a run ended by a signal first removes it, then ends as the
// signal would have ended it: on POSIX every catchable signal whose default action ends the
// process (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGALRM, SIGUSR1, SIGXCPU, the crash signals, the
// real-time signals, ...); on Windows Ctrl+C, Ctrl+Break, the console being closed, logoff,
// shutdown and a crash. Only a signal whose default action is in force is taken over, and only
// while a file is armed: one the run finds ignored or handled stays so. One file is armed at a
// time.

// Arms the removal of `name`: on POSIX a name in the folder whose descriptor is `folder`, on
// Windows the whole name (`folder` unused). Arm a file before creating it, so that there is no
// moment in which it exists unarmed.
void RemoveOnInterrupt(int folder, const std::string& name);

// Disarms it and gives the signals back their default action.
void KeepOnInterrupt() noexcept;

// Between these two an interrupt waits, so that a step that must not be cut (a page copied over
// the old one) runs to its end; one that came meanwhile then ends the run as above.
void HoldInterrupts() noexcept;
void ResumeInterrupts() noexcept;

// SIGPIPE and SIGXFSZ, when at their default, are ignored for the rest of the process: a write
// to a closed pipe or past the file-size limit then fails as the run's other failed writes do,
// instead of ending the run. Nothing on Windows, which has neither.
void IgnoreWriteFailureSignals();

}  // namespace korvo
