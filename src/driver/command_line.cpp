#include "driver/command_line.h"

#include <optional>

#include "platform/absolute_path.h"
#include "platform/file_system.h"

namespace korvo {

std::string DefaultInputName() {
  return NativeName("Wrk/Aspects.txt");
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
    } else if (option == 'a') {
      // A name that cannot be made absolute leaves the name given before, if any.
      if (std::optional<std::string> name =
              AbsolutePath(currentDirectory, argument.substr(2), kNameBufferSize)) {
        commandLine.aspectTypesFileName = std::move(*name);
      }
    } else {
      continue;  // not an option of ours: passed over, and it still counts
    }
    --argumentsLeft;
  }
  const bool oneArgumentLeft = argumentsLeft == 2 && position < argumentCount;
  commandLine.inputName = oneArgumentLeft ? arguments[position] : DefaultInputName();
  return commandLine;
}

}  // namespace korvo
