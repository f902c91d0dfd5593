#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inputs/input_names.h"
#include "platform/absolute_path.h"
#include "platform/file_system.h"

namespace korvo {
namespace {

// A current directory and the absolute names under it, in the platform's own form.
const std::string kSeparator(1, kPathSeparator);
const std::string kDirectory = kPathSeparator == '/' ? "/w/sub" : "C:\\w\\sub";
std::string Under(const std::string& name) {
  return kDirectory + kSeparator + name;
}

CommandLine Parse(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "korvo");
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  return ParseCommandLine(static_cast<int>(pointers.size()), pointers.data(), kDirectory);
}

TEST(ParseCommandLine, OptionsCounterAndInputName) {
  const std::string defaultInput = DefaultInputName();
  const ChartMode natal = ChartMode::natal;
  const ChartMode transit = ChartMode::transit;
  struct Row {
    std::vector<std::string> arguments;
    ChartMode mode;
    std::string aspectTypesFileName;
    std::string inputName;
  };
  const Row rows[] = {
      {{}, natal, "", defaultInput},
      {{"in.txt"}, natal, "", "in.txt"},
      {{"-2", "in.txt"}, transit, "", "in.txt"},
      {{"-1"}, natal, "", defaultInput},
      {{"-2"}, transit, "", defaultInput},
      // An unknown option still counts, so two arguments are left: the default input.
      {{"-x", "in.txt"}, natal, "", defaultInput},
      // The scan stops at the file name; the "-2" is never read, but it counts.
      {{"in.txt", "-2"}, natal, "", defaultInput},
      {{"-2", "in.txt", "-1"}, transit, "", defaultInput},
      {{"a.txt", "b.txt"}, natal, "", defaultInput},
      // "-a" carries an empty name and still counts; ".asp" becomes the input.
      {{"-a", "file.asp"}, natal, "", "file.asp"},
      {{"-1", "-2"}, transit, "", defaultInput},
      {{"-2", "-1"}, natal, "", defaultInput},
      {{"-12"}, natal, "", defaultInput},
      {{"-21"}, transit, "", defaultInput},
      {{"-aA.asp", "-aB.asp"}, natal, Under("B.asp"), defaultInput},
      {{"-aA.asp", "-a"}, natal, Under("A.asp"), defaultInput},  // an empty name keeps A
      {{"-aA.asp", "-a", "in.txt"}, natal, Under("A.asp"), "in.txt"},
      {{"-2", "-aT.asp", "in.txt"}, transit, Under("T.asp"), "in.txt"},
      {{"-a.." + kSeparator + "T.asp"},
       natal,
       kDirectory.substr(0, kDirectory.size() - 4) + kSeparator + "T.asp",
       defaultInput},
      // Only passed-over dash arguments are left: there is nothing to take as the input.
      {{"-x"}, natal, "", defaultInput},
      {{"-"}, natal, "", defaultInput},
      {{"-", "in.txt"}, natal, "", defaultInput},
      {{"-x", "-y"}, natal, "", defaultInput},
      {{"-1", "-x"}, natal, "", defaultInput},
      {{"-A"}, natal, "", defaultInput},  // case counts: not the -a option
      {{""}, natal, "", ""},              // an empty argument is a name as typed
      {{"-1", "my list.txt"}, natal, "", "my list.txt"},
  };
  for (const Row& row : rows) {
    const CommandLine commandLine = Parse(row.arguments);
    const std::string arguments = ::testing::PrintToString(row.arguments);
    EXPECT_EQ(commandLine.chartMode, row.mode) << arguments;
    EXPECT_EQ(commandLine.aspectTypesFileName, row.aspectTypesFileName) << arguments;
    EXPECT_EQ(commandLine.inputName, row.inputName) << arguments;
  }
}

TEST(ParseCommandLine, GridOptionCountsLikeTheModes) {
  const std::string defaultInput = DefaultInputName();
  struct Row {
    std::vector<std::string> arguments;
    bool writeGrid;
    std::string inputName;
  };
  const Row rows[] = {
      {{}, false, defaultInput},
      {{"-g"}, true, defaultInput},
      {{"-g", "chart.txt"}, true, "chart.txt"},  // -g counts, so the named input is used
      {{"-2", "-g", "chart.txt"}, true, "chart.txt"},
      {{"-gx", "chart.txt"}, true, "chart.txt"},  // only the character after '-' counts
      {{"-G", "chart.txt"}, false, defaultInput},
      {{"chart.txt", "-g"}, false, defaultInput},  // after the input: never read as an option
  };
  for (const Row& row : rows) {
    const CommandLine commandLine = Parse(row.arguments);
    EXPECT_EQ(commandLine.writeGrid, row.writeGrid) << ::testing::PrintToString(row.arguments);
    EXPECT_EQ(commandLine.inputName, row.inputName) << ::testing::PrintToString(row.arguments);
  }
}

std::vector<std::string> IgnoredTexts(const CommandLine& commandLine) {
  std::vector<std::string> texts;
  for (const IgnoredArgument& argument : commandLine.ignoredArguments) {
    texts.push_back(argument.text + (argument.nameTooLong ? " (too long)" : ""));
  }
  return texts;
}

TEST(ParseCommandLine, ArgumentsNotUsedAreListedOnceInArgumentOrder) {
  using Texts = std::vector<std::string>;
  struct Row {
    std::vector<std::string> arguments;
    Texts ignored;
  };
  const std::string aboveRoot = "-a.." + kSeparator + ".." + kSeparator + ".." + kSeparator + "x";
  const Row rows[] = {
      {{}, {}},
      {{"in.txt"}, {}},
      {{"-1", "-2", "-aT.asp", "in.txt"}, {}},
      {{"-x", "in.txt"}, {"-x", "in.txt"}},
      {{"in.txt", "-2"}, {"in.txt", "-2"}},
      {{"-2", "in.txt", "extra"}, {"in.txt", "extra"}},
      {{"-a", "file.asp"}, {"-a"}},  // file.asp is the input
      {{"-a", "T.asp", "in.txt"}, {"-a", "T.asp", "in.txt"}},
      {{"--HELP"}, {"--HELP"}},  // not --help, which the run answers before any parsing
      {{"-h", "--version=1"}, {"-h", "--version=1"}},
      {{"-"}, {"-"}},
      {{"-", "in.txt"}, {"-", "in.txt"}},
      {{"-x", "-y", "-2"}, {"-x", "-y"}},
      {{"-A"}, {"-A"}},
      {{"a.txt", "b.txt", "c.txt"}, {"a.txt", "b.txt", "c.txt"}},
      // An -a name without absolute form is not used; one too long for its buffer says so.
      {{aboveRoot}, {aboveRoot}},
      {{"-a" + std::string(kNameBufferSize, 'n')},
       {"-a" + std::string(kNameBufferSize, 'n') + " (too long)"}},
      {{"-aA.asp", "-aB.asp"}, {}},  // a later option overrides, it does not ignore
  };
  for (const Row& row : rows) {
    EXPECT_EQ(IgnoredTexts(Parse(row.arguments)), row.ignored)
        << ::testing::PrintToString(row.arguments);
  }
}

TEST(FindConsoleRequest, TheFirstExactHelpOrVersionWhereverItStands) {
  const ConsoleRequest none = ConsoleRequest::none;
  const ConsoleRequest help = ConsoleRequest::help;
  const ConsoleRequest version = ConsoleRequest::version;
  struct Row {
    std::vector<std::string> arguments;
    ConsoleRequest request;
  };
  const Row rows[] = {
      {{}, none},
      {{"-2", "in.txt", "--help"}, help},
      {{"--version", "--help"}, version},
      {{"-x", "--help", "--version"}, help},
      {{"--HELP", "-help", "--help=1", "-h", "--Version", "--version ", "-v", "help"}, none},
  };
  for (const Row& row : rows) {
    std::vector<std::string> arguments = row.arguments;
    arguments.insert(arguments.begin(), "--help");  // argument 0 is the program's own name
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
    EXPECT_EQ(FindConsoleRequest(static_cast<int>(pointers.size()), pointers.data()), row.request)
        << ::testing::PrintToString(row.arguments);
  }
}

}  // namespace
}  // namespace korvo
