#include "driver/command_line.h"

#include "inputs/input_names.h"
#include "platform/absolute_path.h"

namespace korvo {

ConsoleRequest FindConsoleRequest(int argumentCount, const char* const* arguments) {
  for (int position = 1; position < argumentCount; ++position) {
    const std::string_view argument = arguments[position];
    if (argument == "--help") return ConsoleRequest::help;
    if (argument == "--version") return ConsoleRequest::version;
  }
  return ConsoleRequest::none;
}

CommandLine ParseCommandLine(int argumentCount, const char* const* arguments,
                             std::string_view currentDirectory) {
  CommandLine commandLine;
  int argumentsLeft = argumentCount;  // the program's own name counts
  int position = 1;
  for (; position < argumentCount && arguments[position][0] == '-'; ++position) {
    const std::string_view argument = arguments[position];
    const char option = argument.size() > 1 ? argument[1] : '\0';
    if (option == '1' || option == '2') {
      commandLine.chartMode = option == '1' ? ChartMode::natal : ChartMode::transit;
    } else if (option == 'g') {
      commandLine.writeGrid = true;
    } else if (option == 'a') {
      // A name that cannot be made absolute leaves the name given before, if any.
      AbsoluteName name = AbsolutePath(currentDirectory, argument.substr(2), kNameBufferSize);
      if (name.name) {
        commandLine.aspectTypesFileName = std::move(*name.name);
      } else {
        commandLine.ignoredArguments.push_back({std::string(argument), name.tooLong});
      }
    } else {
      // Not an option of ours: passed over, and it still counts.
      commandLine.ignoredArguments.push_back({std::string(argument)});
      continue;
    }
    --argumentsLeft;
  }
  const bool oneArgumentLeft = argumentsLeft == 2 && position < argumentCount;
  if (oneArgumentLeft) {
    commandLine.inputName = arguments[position];
    return commandLine;
  }
  commandLine.inputName = DefaultInputName();
  for (; position < argumentCount; ++position) {
    commandLine.ignoredArguments.push_back({arguments[position]});
  }
  return commandLine;
}

}  // namespace korvo
