#pragma once

#include <string>

namespace korvo {

// While a temporary file is armed, a run ended by SIGINT, SIGTERM, SIGHUP or SIGQUIT (on Windows:
// Ctrl+C, Ctrl+Break, the console being closed) first removes it, then ends as the interrupt
// would have ended it. Only an interrupt whose default action is in force is taken over, and only
// while a file is armed: one the run finds ignored or handled stays so, and so does every other
// signal. One file is armed at a time.

// Arms the removal of `name`: on POSIX a name in the folder whose descriptor is `folder`, on
// Windows the whole name (`folder` unused). Arm a file before creating it, so that there is no
// moment in which it exists unarmed.
void RemoveOnInterrupt(int folder, const std::string& name);

// Disarms it and gives the interrupts back their default action.
void KeepOnInterrupt() noexcept;

}  // namespace korvo
