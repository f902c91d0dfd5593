#pragma once

namespace korvo {

// One whole run in the process's current directory: reads the aspects list, writes the page and
// Korvo.log, and returns the exit code. `arguments[0]` is the program's own name.
int RunKorvo(int argumentCount, const char* const* arguments);

}  // namespace korvo
