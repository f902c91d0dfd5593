#include "driver/run.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "aspectlist/aspect_entry.h"
#include "aspectlist/aspects_list_reader.h"
#include "aspectlist/entry_order.h"
#include "driver/command_line.h"
#include "driver/exit_status.h"
#include "driver/language.h"
#include "order/aspect_type_order.h"
#include "order/name_groups.h"
#include "order/orb_order.h"
#include "order/planet_order.h"
#include "platform/absolute_path.h"
#include "platform/file_system.h"
#include "platform/large_pages.h"
#include "report/report_page.h"
#include "run/log_texts.h"
#include "run/run_log.h"
#include "run/settings.h"
#include "run/version.h"

namespace korvo {
namespace {

// Everything one run holds. The streams are released in the reverse order of their declaration,
// the log last.
struct RunState {
  std::string currentDirectory;
  LanguageFlag language = LanguageFlag::english;
  ChartMode chartMode = ChartMode::natal;
  std::string inputFileName;  // absolute once the input is opened
  std::string pageFileName;
  std::string aspectTypesFileName;
  std::string planetsFileName;

  RunLog log;
  std::ifstream input;
  std::string headerText;
  AspectList aspects;
  EntryOrder order;  // of the table being written, each derived from the one before
  WholeFile page;
  std::ifstream aspectTypesFile;
  std::ifstream planetsFile;
  NameList aspectTypes;
  NameList planets;
};

constexpr std::size_t kPlanetNamesRoom = 32;

// The run goes on without its log, but not without a word: this is the one line Korvo ever
// writes to the console.
void ReportRunLogNotWritten(const std::string& currentDirectory) {
  const std::string line = std::string(kRunLogNotWritten) + currentDirectory + "\n";
  std::fputs(line.c_str(), stderr);
}

void LogIgnoredArguments(RunState& run, const std::vector<IgnoredArgument>& ignoredArguments) {
  for (const IgnoredArgument& argument : ignoredArguments) {
    LogLine(run.log, {kArgumentIgnored, argument.text});
    if (argument.nameTooLong) LogNameTooLong(run.log, kNameBufferSize);
  }
}

void StartRun(RunState& run, int argumentCount, const char* const* arguments) {
  if (!OpenRunLog(run.log)) ReportRunLogNotWritten(run.currentDirectory);
  LogLine(run.log, {kUsageLine});
  LogLine(run.log, {kVersionPrefix, kKorvoVersion});
  run.language = DetectLanguage(run.currentDirectory);
  LogLine(run.log, {kLanguageLine, std::to_string(static_cast<int>(run.language))});
  CommandLine commandLine = ParseCommandLine(argumentCount, arguments, run.currentDirectory);
  LogIgnoredArguments(run, commandLine.ignoredArguments);
  run.chartMode = commandLine.chartMode;
  run.aspectTypesFileName = std::move(commandLine.aspectTypesFileName);
  run.inputFileName = std::move(commandLine.inputName);
}

bool OpenInput(RunState& run) {
  AbsoluteName absoluteName =
      AbsolutePath(run.currentDirectory, run.inputFileName, kNameBufferSize);
  if (absoluteName.name) {
    run.inputFileName = std::move(*absoluteName.name);
    if (OpenForReading(run.input, run.inputFileName)) {
      LogLine(run.log, {kUsingInput, run.inputFileName});
      return true;
    }
  }
  LogLine(run.log, {kInputFile, run.inputFileName, kCannotBeOpened});
  if (absoluteName.tooLong) LogNameTooLong(run.log, kNameBufferSize);
  return false;
}

// Room for the list before it is read, estimated from the input's size, so that the list need
// not move while it grows: moving it costs little, but each move touches fresh memory, and that
// is most of a large run's page faults. A short estimate only means the list grows as usual; a
// long one leaves memory reserved but never touched.
constexpr std::uintmax_t kTypicalAspectLineBytes = 24;
constexpr std::uintmax_t kLargestEstimatedCount = std::uintmax_t{1} << 22;

// Measured on the open stream rather than by name, so that any name the stream opened works; a
// stream that cannot seek gives no estimate.
std::size_t EstimatedAspectCount(std::ifstream& input) {
  input.seekg(0, std::ios::end);
  const std::streamoff bytes = input.tellg();
  input.clear();
  input.seekg(0, std::ios::beg);
  input.clear();
  if (bytes <= 0) return 0;
  return static_cast<std::size_t>(std::min(
      static_cast<std::uintmax_t>(bytes) / kTypicalAspectLineBytes, kLargestEstimatedCount));
}

void ReadInput(RunState& run) {
  std::vector<AspectEntry>& entries = run.aspects.entries;
  entries.reserve(EstimatedAspectCount(run.input));
  AdviseLargePages(entries.data(), entries.capacity() * sizeof(AspectEntry));
  LineReader reader = MakeLineReader(run.input, CodePageOf(run.language));
  ReadAspectsList(reader, run.headerText, run.aspects, run.log, run.inputFileName);
  LogLine(run.log, {kExtracted, std::to_string(entries.size()), kAspects});
}

// Derives the page name from the input name and opens the page. A name too long for its buffer,
// and a name that is the input's own, are refused before anything is opened.
bool OpenPage(RunState& run) {
  run.pageFileName = MakePageName(run.inputFileName, kPathSeparator);
  const std::string& name = run.pageFileName;
  if (SameFileName(name, run.inputFileName)) {
    LogLine(run.log, {kOutputFile, name, kIsTheInputFile});
    return false;
  }
  const bool tooLong = name.size() + 1 > kNameBufferSize;
  if (tooLong || !OpenWholeFile(run.page, name)) {
    LogLine(run.log, {kOutputFile, name, kCannotBeOpened});
    if (tooLong) LogNameTooLong(run.log, kNameBufferSize);
    return false;
  }
  LogLine(run.log, {kUsingOutput, name});
  return true;
}

void LogTableWritten(RunState& run, TableLayout layout) {
  LogLine(run.log, {kOutputTable, std::to_string(TableNumber(layout)), kTableState,
                    std::to_string(RunLogState(run.log))});
}

void WriteOrbTable(RunState& run) {
  WritePageStart(run.page.stream, run.language, run.headerText);
  WriteTableBlock(run.page.stream, run.aspects, run.order, TableLayout::orbTable, run.language);
  LogTableWritten(run, TableLayout::orbTable);
}

void WriteAspectTypeTable(RunState& run) {
  if (OpenAspectTypesFile(run.aspectTypesFile, run.aspectTypesFileName, run.language, run.chartMode,
                          run.currentDirectory, run.log)) {
    LineReader reader = MakeLineReader(run.aspectTypesFile, CodePageOf(run.language));
    ReadAspectTypes(reader, run.aspectTypes, run.log, run.aspectTypesFileName);
  }
  AppendMissingTypes(run.aspects, run.order, run.aspectTypes);
  GroupByAspectType(run.aspects, run.order, run.aspectTypes);
  WriteTableBlock(run.page.stream, run.aspects, run.order, TableLayout::aspectTypeTable,
                  run.language);
  LogTableWritten(run, TableLayout::aspectTypeTable);
}

void ReadPlanetsFile(RunState& run) {
  const std::string relativeName = PlanetsFileName(run.language);
  const AbsoluteName absoluteName =
      AbsolutePath(run.currentDirectory, relativeName, kNameBufferSize);
  if (!absoluteName.name) {
    LogLine(run.log, {kFile, relativeName, kNotAvailable});
    if (absoluteName.tooLong) LogNameTooLong(run.log, kNameBufferSize);
    return;
  }
  run.planetsFileName = *absoluteName.name;
  if (!OpenForReading(run.planetsFile, run.planetsFileName)) {
    LogLine(run.log, {kFile, run.planetsFileName, kNotAvailable});
    return;
  }
  LogLine(run.log, {kUsingPlanets, run.planetsFileName});
  LineReader reader = MakeLineReader(run.planetsFile, CodePageOf(run.language));
  ReadPlanets(reader, run.planets, run.log, run.planetsFileName);
}

void WritePlanetTable(RunState& run) {
  if (run.chartMode == ChartMode::natal) MirrorAspects(run.order);
  run.planets.reserve(kPlanetNamesRoom);
  ReadPlanetsFile(run);
  CompletePlanets(run.aspects, run.order, run.planets, run.language);
  SortByOrb(run.aspects, run.order);
  GroupByPlanet(run.aspects, run.order, run.planets);
  WriteTableBlock(run.page.stream, run.aspects, run.order, TableLayout::planetTable, run.language);
  WritePageEnd(run.page.stream);
  LogTableWritten(run, TableLayout::planetTable);
}

// Closes the page and puts it in place before the last line, so that a page that could not be
// stored whole is reported instead of a completed run.
ExitStatus FinishRun(RunState& run) {
  if (!FinishWholeFile(run.page)) {
    LogLastLine(run.log, {kOutputFile, run.pageFileName, kCannotBeWritten});
    return ExitStatus::pageNotWritten;
  }
  LogLastLine(run.log, {kCompletedOk});
  return ExitStatus::completed;
}

ExitStatus Run(int argumentCount, const char* const* arguments) {
  RunState run;
  run.currentDirectory = CurrentDirectory();
  StartRun(run, argumentCount, arguments);
  if (!OpenInput(run)) return ExitStatus::inputNotOpened;
  ReadInput(run);
  run.order = ReadingOrder(run.aspects);
  SortByOrb(run.aspects, run.order);
  if (!OpenPage(run)) return ExitStatus::pageNotWritten;
  WriteOrbTable(run);
  WriteAspectTypeTable(run);
  WritePlanetTable(run);
  return FinishRun(run);
}

}  // namespace

int RunKorvo(int argumentCount, const char* const* arguments) {
  return static_cast<int>(Run(argumentCount, arguments));
}

}  // namespace korvo
