#include "inputs/aspects_list_file.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "base/log_texts.h"
#include "inputs/logged_lines.h"
#include "platform/absolute_path.h"
#include "platform/file_system.h"
#include "platform/large_pages.h"
#include "platform/text_encoding.h"

namespace korvo {
namespace {

constexpr std::size_t kInitialListRoom = 64;

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

// A list that lacks its header would lose its first four aspects into it: that is logged, and
// the four lines are still taken as the header. Short of that, each header line that reads as a
// whole aspect line is logged once the header is read (for a shorter list, after its end).
void ReadHeader(LineReader& reader, std::vector<std::string>& headerLines, RunLog& log,
                std::string_view inputName) {
  bool allReadAsAspectLines = true;
  std::vector<long> aspectLineNumbers;
  for (int i = 0; i < kHeaderLineCount; ++i) {
    const std::optional<InputLine> line = NextLineLogged(reader, log, inputName);
    headerLines.emplace_back(line ? line->text : std::string_view());
    allReadAsAspectLines = allReadAsAspectLines && line && IsAspectLine(line->text);
    if (line && IsCompleteAspectLine(line->text)) aspectLineNumbers.push_back(reader.lineNumber);
  }
  if (allReadAsAspectLines) {
    LogLine(log, {kHeaderOf, inputName, kReadsAsAspectLines});
    return;
  }
  for (const long lineNumber : aspectLineNumbers) {
    LogLine(log, {kLine, std::to_string(lineNumber), kOf, inputName, kInTheHeaderButAnAspectLine});
  }
}

}  // namespace

void ReadAspectsList(LineReader& reader, std::vector<std::string>& headerLines, AspectList& aspects,
                     RunLog& log, std::string_view inputName) {
  ReadHeader(reader, headerLines, log, inputName);
  aspects.entries.reserve(std::max(aspects.entries.capacity(), kInitialListRoom));
  while (const std::optional<InputLine> line = NextLineLogged(reader, log, inputName)) {
    if (line->text.find(kDegreeSign) == std::string_view::npos) continue;
    if (const std::optional<AspectFields> fields = ParseAspectLine(line->text)) {
      if (!IsOrbSign(fields->orbSign)) {
        LogLine(log, {kLine, std::to_string(reader.lineNumber), kOf, inputName, kOrbSign,
                      CodePageToUtf8(std::string_view(&fields->orbSign, 1), reader.codePage),
                      kIsNotASign});
      }
      AddEntry(aspects, *fields);
    } else {
      LogLine(log, {kLine, std::to_string(reader.lineNumber), kOf, inputName, kNotAnAspectLine});
    }
  }
}

bool OpenAspectsList(std::ifstream& input, std::string& inputFileName,
                     std::string_view currentDirectory, RunLog& log) {
  AbsoluteName absoluteName = AbsolutePath(currentDirectory, inputFileName, kNameBufferSize);
  if (absoluteName.name) {
    inputFileName = std::move(*absoluteName.name);
    if (OpenForReading(input, inputFileName)) {
      LogLine(log, {kUsingInput, inputFileName});
      return true;
    }
  }
  LogLine(log, {kInputFile, inputFileName, kCannotBeOpened});
  if (absoluteName.tooLong) LogNameTooLong(log, kNameBufferSize);
  return false;
}

bool ReadAspectsListFile(std::ifstream& input, LanguageFlag language,
                         std::vector<std::string>& headerLines, AspectList& aspects, RunLog& log,
                         std::string_view inputName) {
  std::vector<AspectEntry>& entries = aspects.entries;
  entries.reserve(EstimatedAspectCount(input));
  AdviseLargePages(entries.data(), entries.capacity() * sizeof(AspectEntry));
  LineReader reader = MakeLineReader(input, CodePageOf(language));
  ReadAspectsList(reader, headerLines, aspects, log, inputName);
  return ReadToTheEnd(reader, log, kInputFile, inputName);
}

}  // namespace korvo
