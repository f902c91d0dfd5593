#include "aspectlist/aspects_list_reader.h"

#include "run/log_texts.h"

namespace korvo {
namespace {

constexpr std::size_t kInitialListRoom = 64;

void ReadHeader(LineReader& reader, std::string& headerText, RunLog& log,
                std::string_view inputName) {
  for (int i = 0; i < kHeaderLineCount; ++i) {
    if (const std::optional<InputLine> line = NextLineLogged(reader, log, inputName)) {
      headerText.append(line->text);
    }
    headerText.append(kHeaderLineEnd);
  }
}

}  // namespace

void ReadAspectsList(LineReader& reader, std::string& headerText, AspectList& aspects,
                     TextStore& lineCopies, RunLog& log, std::string_view inputName) {
  ReadHeader(reader, headerText, log, inputName);
  aspects.reserve(kInitialListRoom);
  while (const std::optional<InputLine> line = NextLineLogged(reader, log, inputName)) {
    if (line->text.find(kDegreeSign) == std::string_view::npos) continue;
    if (std::optional<AspectEntry> entry = ParseAspectLine(line->text, lineCopies)) {
      aspects.push_back(*entry);
    } else {
      LogLine(log, {kLine, std::to_string(reader.lineNumber), kOf, inputName, kNotAnAspectLine});
    }
  }
}

}  // namespace korvo
