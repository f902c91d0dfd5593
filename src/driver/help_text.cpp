#include "driver/help_text.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "base/log_texts.h"
#include "base/version.h"
#include "inputs/input_names.h"

namespace korvo {
namespace {

// One line of the help: an option and what it does, in a column after the longest option.
struct OptionHelp {
  std::string_view option;
  std::string meaning;
};

std::vector<OptionHelp> OptionsHelp() {
  return {
      {"-1", "natal mode, the default: each aspect under both its planets"},
      {"-2", "transit mode: each aspect under its first planet only"},
      {"-g", "also write the aspect grid, named with -grid.html next to the page"},
      {"-a<file>", "the aspect-types file, written right after -a"},
      {"<aspects-list-file>", "the aspects list to convert (default: " + DefaultInputName() + ")"},
      {"--help", "write this help, and nothing else"},
      {"--version", "write the version, and nothing else"},
  };
}

// The help's own usage line names every option; the log's first line keeps its old form.
constexpr std::string_view kHelpUsageLine =
    "Korvo [-1 | -2] [-g] [-a<aspect-names-file>] [<aspects-list-file>]";
constexpr std::string_view kOptionIndent = "  ";
constexpr std::size_t kColumnGap = 2;

}  // namespace

std::string HelpText() {
  const std::vector<OptionHelp> options = OptionsHelp();
  std::size_t optionWidth = 0;
  for (const OptionHelp& line : options) optionWidth = std::max(optionWidth, line.option.size());
  std::string text = std::string(kHelpUsageLine) + "\n";
  for (const OptionHelp& line : options) {
    text.append(kOptionIndent).append(line.option);
    text.append(optionWidth + kColumnGap - line.option.size(), ' ').append(line.meaning) += '\n';
  }
  text.append("The page goes next to the list, named with .html; the log is ")
      .append(kRunLogName)
      .append(" in the current directory.\n");
  return text;
}

std::string VersionText() {
  return "Korvo " + std::string(kKorvoVersion) + "\n";
}

}  // namespace korvo
