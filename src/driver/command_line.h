#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/settings.h"

namespace korvo {

// An argument the run does not use, and whether it is an -a name refused for its length.
struct IgnoredArgument {
  std::string text;
  bool nameTooLong = false;
};

// What the command line asks for.
struct CommandLine {
  ChartMode chartMode = ChartMode::natal;
  bool writeGrid = false;           // -g: the grid page too
  std::string aspectTypesFileName;  // absolute; empty when no usable -a name was given
  std::string inputName;            // as typed, or the default input name
  std::vector<IgnoredArgument> ignoredArguments;  // in argument order, each at most once
};

// What a run is asked to write on standard output instead of converting anything.
enum class ConsoleRequest { none, help, version };

// The first argument that is exactly "--help" or "--version", wherever it stands; none when
// neither is given.
ConsoleRequest FindConsoleRequest(int argumentCount, const char* const* arguments);

// Reads the options -1, -2, -g and -a<name> up to the first argument that does not begin with '-'
// (a later option overrides an earlier one). The named input is used only when exactly one
// argument is left besides the recognised options; otherwise the default input is used.
// Ignored are: the dash arguments passed over, an -a whose name gives no absolute name, and,
// when the default input is used although the scan stopped at an argument, that argument and
// every one after it. `arguments[0]` is the program's own name.
CommandLine ParseCommandLine(int argumentCount, const char* const* arguments,
                             std::string_view currentDirectory);

}  // namespace korvo
