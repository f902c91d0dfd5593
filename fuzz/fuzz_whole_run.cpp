// Fuzz target: whole runs of Korvo on an arbitrary aspects list, aspect-types file and planets
// file, in both languages and both modes, with and without -a, -g and a named input, and with the
// aspect-types or planets file missing. The run works in a temporary directory of its own; the
// command line only ever names files inside it.
//
// Every such run must complete (exit code 0, "Korvo completed OK"), report the number of aspect
// lines that the naive reading counts, and write a whole page whose first table has one row per
// aspect and whose later tables hold every aspect at least once (table 3: twice in natal mode).
// With -g the grid page is whole too and holds each aspect exactly once, unless it would have more
// than 200 points an axis: then it is not written and the run ends with exit code 2. The files'
// texts are escaped, so none of them can add markup: the rows and aspects can always be counted,
// and no comment ever opens on either page.

#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "driver/run.h"
#include "reference_lines.h"

namespace korvo::fuzz {
namespace {

namespace fs = std::filesystem;

// What the first byte of a fuzz input chooses.
enum RunChoice : std::uint8_t {
  kRussian = 1 << 0,
  kTransit = 1 << 1,
  kAspectTypesOption = 1 << 2,  // -atypes.asp
  kNamedInput = 1 << 3,         // in.txt on the command line instead of Wrk/Aspects.txt
  kNoAspectTypesFile = 1 << 4,
  kNoPlanetsFile = 1 << 5,
  kSecondRussianTry = 1 << 6,  // the Russian default file only under its '!' name
  kGrid = 1 << 7,              // -g
};

const std::string kRussianNatalTypes = "aspects/\xEC\xE1\xD4\xE1\xBD.asp";
const std::string kRussianTransitTypes = "aspects/\xD2\xF0\xE0\xED\xE7\xE8\xF2.asp";

std::string& RunDirectory() {
  static std::string directory;
  return directory;
}

// The relative name under which the Russian second try finds a default aspect-types file: '!'
// in front of its absolute name.
std::string SecondTryName(const std::string& relativeName) {
  return "!" + RunDirectory() + "/" + relativeName;
}

std::vector<std::string> FilesOfARun() {
  return {"Korvo.log",
          "Config/RUSSIAN.ini",
          "Wrk/Aspects.txt",
          "Wrk/Aspects.html",
          "Wrk/Aspects-grid.html",
          "in.txt",
          "in.html",
          "in-grid.html",
          "types.asp",
          "aspects/Natal.asp",
          "aspects/Transit.asp",
          kRussianNatalTypes,
          kRussianTransitTypes,
          SecondTryName(kRussianNatalTypes),
          SecondTryName(kRussianTransitTypes),
          "Language/English/Planets.txt",
          "Language/Russian/Planets.txt"};
}

void WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  Check(static_cast<bool>(out), "fuzz set-up could not write a file");
}

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t CountOf(std::string_view text, std::string_view piece) {
  std::size_t count = 0;
  for (std::size_t at = text.find(piece); at != std::string_view::npos;
       at = text.find(piece, at + piece.size())) {
    ++count;
  }
  return count;
}

void RemoveRunDirectory() {
  std::error_code ignored;
  fs::remove_all(RunDirectory(), ignored);
}

std::string AspectTypesFileOf(std::uint8_t choice) {
  if (choice & kAspectTypesOption) return "types.asp";
  const bool transit = choice & kTransit;
  if (!(choice & kRussian)) return transit ? "aspects/Transit.asp" : "aspects/Natal.asp";
  const std::string& name = transit ? kRussianTransitTypes : kRussianNatalTypes;
  return (choice & kSecondRussianTry) ? SecondTryName(name) : name;
}

void CheckPage(const std::string& page, std::size_t aspectCount, bool natal) {
  constexpr std::string_view kPageEnd = "</body>\r\n</html>\r\n";
  Check(page.size() >= kPageEnd.size() && page.ends_with(kPageEnd), "page ends whole");
  std::vector<std::size_t> rowsPerTable;
  std::size_t tableStart = 0;
  for (std::size_t end; (end = page.find("</table>", tableStart)) != std::string::npos;) {
    rowsPerTable.push_back(
        CountOf(std::string_view(page).substr(tableStart, end - tableStart), "<tr><td>"));
    tableStart = end + 1;
  }
  Check(rowsPerTable.size() == 3, "three tables");
  Check(rowsPerTable[0] == aspectCount, "table 1: one row per aspect");
  Check(rowsPerTable[1] >= aspectCount, "table 2: every aspect");
  Check(rowsPerTable[2] >= rowsPerTable[1] * (natal ? 2 : 1), "table 3: every aspect");
}

void CheckGridPage(const std::string& grid, std::size_t aspectCount) {
  Check(grid.ends_with("</body>\r\n</html>\r\n"), "grid page ends whole");
  Check(CountOf(grid, "<table id=\"aspect-grid\">") == 1, "one grid");
  Check(CountOf(grid, "<span class=\"aspect ") == aspectCount, "grid: each aspect once");
  Check(grid.find("<!--") == std::string::npos, "no text of the files becomes markup");
}

}  // namespace
}  // namespace korvo::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  using namespace korvo::fuzz;
  std::string pattern = fs::exists("/dev/shm") ? "/dev/shm/korvo-fuzz-XXXXXX"
                                               : (fs::temp_directory_path() / "korvo-fuzz-XXXXXX");
  Check(mkdtemp(pattern.data()) != nullptr, "no temporary directory");
  Check(chdir(pattern.c_str()) == 0, "cannot enter the temporary directory");
  RunDirectory() = fs::current_path().string();
  std::atexit(RemoveRunDirectory);
  for (const std::string& name : FilesOfARun()) {
    fs::create_directories(fs::path(name).parent_path().empty() ? "."
                                                                : fs::path(name).parent_path());
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvo::fuzz;
  FuzzedDataProvider provider(data, size);
  const auto choice = provider.ConsumeIntegral<std::uint8_t>();
  const std::string aspectTypes = provider.ConsumeRandomLengthString();
  const std::string planets = provider.ConsumeRandomLengthString();
  const std::string input = provider.ConsumeRemainingBytesAsString();

  for (const std::string& name : FilesOfARun()) unlink(name.c_str());
  const bool russian = choice & kRussian;
  const bool natal = !(choice & kTransit);
  if (russian) WriteFile("Config/RUSSIAN.ini", "");
  const bool namedInput = choice & kNamedInput;
  WriteFile(namedInput ? "in.txt" : "Wrk/Aspects.txt", input);
  if (!(choice & kNoAspectTypesFile)) WriteFile(AspectTypesFileOf(choice), aspectTypes);
  if (!(choice & kNoPlanetsFile)) {
    WriteFile(russian ? "Language/Russian/Planets.txt" : "Language/English/Planets.txt", planets);
  }

  std::vector<const char*> arguments = {"korvo", natal ? "-1" : "-2"};
  if (choice & kAspectTypesOption) arguments.push_back("-atypes.asp");
  if (choice & kGrid) arguments.push_back("-g");
  if (namedInput) arguments.push_back("in.txt");
  const int exitCode = korvo::RunKorvo(static_cast<int>(arguments.size()), arguments.data());

  const std::string log = ReadFile("Korvo.log");
  // A grid of more than 200 points an axis is not written; the page still is, whole.
  const bool gridTooLarge = (choice & kGrid) && log.ends_with(" points, at most 200\r\n");
  Check(exitCode == (gridTooLarge ? 2 : 0),
        "a run with a readable input and a writable page completes");
  Check(gridTooLarge || log.ends_with("\r\nKorvo completed OK"),
        "log ends with the completion line");
  const std::size_t aspectCount = ReferenceEntryCount(
      ReferenceLines(input, russian ? korvo::CodePage::windows1251 : korvo::CodePage::windows1252));
  Check(log.find("\r\nExtracted " + std::to_string(aspectCount) + " aspects\r\n") !=
            std::string::npos,
        "log reports every aspect line");
  const std::string page = ReadFile(namedInput ? "in.html" : "Wrk/Aspects.html");
  CheckPage(page, aspectCount, natal);
  Check(page.find("<!--") == std::string::npos, "no text of the files becomes markup");
  const std::string gridName = namedInput ? "in-grid.html" : "Wrk/Aspects-grid.html";
  const bool gridWritten = (choice & kGrid) && !gridTooLarge;
  Check(gridWritten ? (log.find("\r\nOutput grid, state: 0\r\n") != std::string::npos)
                    : access(gridName.c_str(), F_OK) != 0,
        "a grid page exactly when -g asks for it and it is not too large");
  if (gridWritten) CheckGridPage(ReadFile(gridName), aspectCount);
  return 0;
}
