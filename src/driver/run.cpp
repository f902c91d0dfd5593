#include "driver/run.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "aspectlist/aspect_entry.h"
#include "aspectlist/entry_order.h"
#include "aspectlist/name_list.h"
#include "base/log_texts.h"
#include "base/run_log.h"
#include "base/settings.h"
#include "base/version.h"
#include "driver/command_line.h"
#include "driver/exit_status.h"
#include "driver/help_text.h"
#include "inputs/aspect_types_file.h"
#include "inputs/aspects_list_file.h"
#include "inputs/existing_grid_page.h"
#include "inputs/language_marker.h"
#include "inputs/logged_lines.h"
#include "inputs/planets_file.h"
#include "order/aspect_type_order.h"
#include "order/grid_placement.h"
#include "order/orb_order.h"
#include "order/planet_order.h"
#include "platform/absolute_path.h"
#include "platform/file_system.h"
#include "platform/interrupt_cleanup.h"
#include "report/grid_page.h"
#include "report/report_page.h"

namespace korvo {
namespace {

// Everything one run holds. The streams are released in the reverse order of their declaration,
// the log last.
struct RunState {
  std::string currentDirectory;
  LanguageFlag language = LanguageFlag::english;
  ChartMode chartMode = ChartMode::natal;
  bool writeGrid = false;
  std::string inputFileName;  // absolute once the input is opened
  std::string pageFileName;
  std::string gridFileName;
  std::string aspectTypesFileName;
  std::string planetsFileName;

  RunLog log;
  std::ifstream input;
  std::vector<std::string> headerLines;
  AspectList aspects;
  PageTexts pageTexts;             // the list's texts as the page shows them
  EntryOrder order;                // of the table being written, each derived from the one before
  EntryOrder gridOrbOrder;         // with -g: the orders of tables 1 and 2, which the grid
  EntryOrder gridAspectTypeOrder;  // is built on
  WholeFile page;
  std::ifstream aspectTypesFile;
  std::ifstream planetsFile;
  NameList aspectTypes;
  NameList planets;
  std::size_t planetsFileNameCount = 0;  // the first names of `planets` are the file's
  WholeFile grid;
};

void LogIgnoredArguments(RunState& run, const std::vector<IgnoredArgument>& ignoredArguments) {
  for (const IgnoredArgument& argument : ignoredArguments) {
    LogLine(run.log, {kArgumentIgnored, argument.text});
    if (argument.nameTooLong) LogNameTooLong(run.log, kNameBufferSize);
  }
}

void StartRun(RunState& run, int argumentCount, const char* const* arguments) {
  OpenRunLog(run.log, run.currentDirectory);
  LogLine(run.log, {kUsageLine});
  LogLine(run.log, {kVersionPrefix, kKorvoVersion});
  run.language = DetectLanguage(run.currentDirectory);
  LogLine(run.log, {kLanguageLine, std::to_string(static_cast<int>(run.language))});
  CommandLine commandLine = ParseCommandLine(argumentCount, arguments, run.currentDirectory);
  LogIgnoredArguments(run, commandLine.ignoredArguments);
  run.chartMode = commandLine.chartMode;
  run.writeGrid = commandLine.writeGrid;
  run.aspectTypesFileName = std::move(commandLine.aspectTypesFileName);
  run.inputFileName = std::move(commandLine.inputName);
}

// False when a read of the list failed: a list that is not whole makes no page.
bool ReadInput(RunState& run) {
  if (!ReadAspectsListFile(run.input, run.language, run.headerLines, run.aspects, run.log,
                           run.inputFileName)) {
    return false;
  }
  LogLine(run.log, {kExtracted, std::to_string(run.aspects.entries.size()), kAspects});
  return true;
}

// Whether a page's name is the input's own, however spelt or linked; logged when it is.
bool IsTheInputFile(RunState& run, const std::string& name) {
  if (!SameFileName(name, run.inputFileName)) return false;
  LogLine(run.log, {kOutputFile, name, kIsTheInputFile});
  return true;
}

// Opens a page of the run. A name too long for its buffer is refused before anything is opened;
// a page that is not opened is logged.
bool OpenOutputFile(RunState& run, WholeFile& file, const std::string& name) {
  const bool tooLong = name.size() + 1 > kNameBufferSize;
  if (tooLong || !OpenWholeFile(file, name)) {
    LogLine(run.log, {kOutputFile, name, kCannotBeOpened});
    if (tooLong) LogNameTooLong(run.log, kNameBufferSize);
    return false;
  }
  return true;
}

// Derives the page name from the input name and opens the page.
bool OpenPage(RunState& run) {
  run.pageFileName = MakePageName(run.inputFileName, kPathSeparator);
  if (IsTheInputFile(run, run.pageFileName) || !OpenOutputFile(run, run.page, run.pageFileName)) {
    return false;
  }
  LogLine(run.log, {kUsingOutput, run.pageFileName});
  return true;
}

void LogTableWritten(RunState& run, TableLayout layout) {
  LogLine(run.log, {kOutputTable, std::to_string(TableNumber(layout)), kTableState,
                    std::to_string(RunLogState(run.log))});
}

void WriteOrbTable(RunState& run) {
  // The list's texts stay as read from here on, so they are escaped for the page once.
  run.pageTexts = EscapeForPage(run.aspects);
  WritePageStart(run.page.stream, run.language, run.headerLines);
  WriteTableBlock(run.page.stream, run.aspects, run.pageTexts, run.order, TableLayout::orbTable,
                  run.language);
  if (run.writeGrid) run.gridOrbOrder = run.order;
  LogTableWritten(run, TableLayout::orbTable);
}

void WriteAspectTypeTable(RunState& run) {
  const bool fileRead =
      ReadAspectTypesFile(run.aspectTypesFile, run.aspectTypesFileName, run.language, run.chartMode,
                          run.currentDirectory, run.log, run.aspectTypes);
  const std::span<const std::string> unlisted =
      AppendMissingTypes(run.aspects, run.order, run.aspectTypes);
  if (fileRead) {
    LogNamesNotInFile(run.log, kAspectTypeNamed, unlisted, CodePageOf(run.language),
                      run.aspectTypesFileName);
  }
  GroupByAspectType(run.aspects, run.order, run.aspectTypes);
  WriteTableBlock(run.page.stream, run.aspects, run.pageTexts, run.order,
                  TableLayout::aspectTypeTable, run.language);
  if (run.writeGrid) run.gridAspectTypeOrder = run.order;
  LogTableWritten(run, TableLayout::aspectTypeTable);
}

void WritePlanetTable(RunState& run) {
  if (run.chartMode == ChartMode::natal) MirrorAspects(run.order);
  const bool fileRead = ReadPlanetsFile(run.planetsFile, run.planetsFileName, run.language,
                                        run.currentDirectory, run.log, run.planets);
  run.planetsFileNameCount = run.planets.size();
  const std::span<const std::string> unlisted =
      CompletePlanets(run.aspects, run.order, run.planets, run.language);
  if (fileRead) {
    LogNamesNotInFile(run.log, kPlanetNamed, unlisted, CodePageOf(run.language),
                      run.planetsFileName);
  }
  SortByOrb(run.aspects, run.order);
  GroupByPlanet(run.aspects, run.order, run.planets);
  WriteTableBlock(run.page.stream, run.aspects, run.pageTexts, run.order, TableLayout::planetTable,
                  run.language);
  WritePageEnd(run.page.stream);
  LogTableWritten(run, TableLayout::planetTable);
}

// Whether `name` reaches the aspect-types or the planets file the run read, which a page or a
// grid page put there would replace.
bool IsAnInputFile(const RunState& run, const std::string& name) {
  return (run.aspectTypesFile.is_open() && SameFileName(name, run.aspectTypesFileName)) ||
         (run.planetsFile.is_open() && SameFileName(name, run.planetsFileName));
}

// Whether the grid's name reaches none of the run's own files: not the page (through a link), not
// the input, not the aspect-types or planets file; logged when it does.
bool GridNameIsFree(RunState& run) {
  // A grid name that reaches the page (a link) would replace the page just put in place.
  if (SameFileName(run.gridFileName, run.pageFileName)) {
    LogLine(run.log, {kOutputFile, run.gridFileName, kCannotBeOpened});
    return false;
  }
  if (IsTheInputFile(run, run.gridFileName)) return false;
  if (!IsAnInputFile(run, run.gridFileName)) return true;
  LogLine(run.log, {kOutputFile, run.gridFileName, kIsAnInputFile});
  return false;
}

// Whether what stands at the grid's name may be replaced: nothing, or a grid page (a page of
// another list, a user's file is kept); logged when it may not.
bool ReplacesOnlyAGridPage(RunState& run) {
  if (MayReplaceAsGridPage(run.gridFileName, GridPageTitles())) return true;
  LogLine(run.log, {kOutputFile, run.gridFileName, kIsNotAGridPage});
  return false;
}

// Whether the grid is small enough to be drawn: at most kMostGridPoints on each axis.
bool GridFits(RunState& run, const AspectGrid& grid) {
  const std::size_t points = std::max(grid.rows.size(), grid.columns.size());
  if (points <= kMostGridPoints) return true;
  LogLine(run.log, {kOutputFile, run.gridFileName, kNotWritten, std::to_string(points), kPoints,
                    std::to_string(kMostGridPoints)});
  return false;
}

// The grid page, once the page is in place, under the same rules: a temporary file, put in place
// when it is whole. False, its last line logged, when it could not be opened or written.
bool WriteGrid(RunState& run) {
  run.gridFileName = GridPageName(run.pageFileName);
  if (!GridNameIsFree(run) || !ReplacesOnlyAGridPage(run)) return false;
  const AspectGrid grid =
      MakeAspectGrid(run.aspects, run.gridOrbOrder, run.gridAspectTypeOrder,
                     std::span<const std::string>(run.planets).first(run.planetsFileNameCount),
                     run.language, run.chartMode);
  if (!GridFits(run, grid) || !OpenOutputFile(run, run.grid, run.gridFileName)) return false;
  LogLine(run.log, {kUsingGridOutput, run.gridFileName});
  WriteGridPage(run.grid.stream, run.aspects, grid, run.headerLines, run.language);
  if (!FinishWholeFile(run.grid)) {
    LogLastLine(run.log, {kOutputFile, run.gridFileName, kCannotBeWritten});
    return false;
  }
  LogLine(run.log, {kOutputGrid, kTableState, std::to_string(RunLogState(run.log))});
  return true;
}

// Closes the page and puts it in place before the last line, so that a page that could not be
// stored whole is reported instead of a completed run; only then comes the grid page. A page
// whose name reaches a file the run has read since it was opened is discarded instead.
ExitStatus FinishRun(RunState& run) {
  if (IsAnInputFile(run, run.pageFileName)) {
    DiscardWholeFile(run.page);
    LogLastLine(run.log, {kOutputFile, run.pageFileName, kIsAnInputFile});
    return ExitStatus::pageNotWritten;
  }
  if (!FinishWholeFile(run.page)) {
    LogLastLine(run.log, {kOutputFile, run.pageFileName, kCannotBeWritten});
    return ExitStatus::pageNotWritten;
  }
  if (run.writeGrid && !WriteGrid(run)) return ExitStatus::pageNotWritten;
  LogLastLine(run.log, {kCompletedOk});
  return ExitStatus::completed;
}

ExitStatus RunSteps(RunState& run, int argumentCount, const char* const* arguments) {
  run.currentDirectory = CurrentDirectory();
  StartRun(run, argumentCount, arguments);
  if (!OpenAspectsList(run.input, run.inputFileName, run.currentDirectory, run.log) ||
      !ReadInput(run)) {
    return ExitStatus::inputNotOpened;
  }
  run.order = ReadingOrder(run.aspects);
  SortByOrb(run.aspects, run.order);
  if (!OpenPage(run)) return ExitStatus::pageNotWritten;
  WriteOrbTable(run);
  WriteAspectTypeTable(run);
  WritePlanetTable(run);
  return FinishRun(run);
}

// The temporary pages go first, so that nothing is left behind should the log line fail too;
// no step allocates. A page already in place stays.
ExitStatus StopRun(RunState& run, std::string_view reason) noexcept {
  DiscardWholeFile(run.page);
  DiscardWholeFile(run.grid);
  LogLastLine(run.log, {reason});
  return ExitStatus::stopped;
}

ExitStatus Run(int argumentCount, const char* const* arguments) {
  RunState run;
  try {
    return RunSteps(run, argumentCount, arguments);
  } catch (const std::bad_alloc&) {
    return StopRun(run, kStoppedOutOfMemory);
  } catch (...) {
    return StopRun(run, kStoppedInternalError);
  }
}

}  // namespace

int RunKorvo(int argumentCount, const char* const* arguments) {
  IgnoreWriteFailureSignals();
  // Asked for its help or its version, the program answers on standard output and touches no
  // file: an existing log and page stay as they are. A standard output that takes not all of the
  // answer (a full disk, a closed pipe) fails the run.
  const ConsoleRequest request = FindConsoleRequest(argumentCount, arguments);
  if (request != ConsoleRequest::none) {
    const std::string text = request == ConsoleRequest::help ? HelpText() : VersionText();
    const bool written = std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
    return static_cast<int>(written ? ExitStatus::completed : ExitStatus::consoleNotWritten);
  }
  return static_cast<int>(Run(argumentCount, arguments));
}

}  // namespace korvo
