#include "aspectlist/aspects_list_reader.h"

#include <algorithm>

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

void ReadAspectsList(LineReader& reader, std::string& headerText, AspectList& aspects, RunLog& log,
                     std::string_view inputName) {
  ReadHeader(reader, headerText, log, inputName);
  aspects.entries.reserve(std::max(aspects.entries.capacity(), kInitialListRoom));
  while (const std::optional<InputLine> line = NextLineLogged(reader, log, inputName)) {
    if (line->text.find(kDegreeSign) == std::string_view::npos) continue;
    if (const std::optional<AspectFields> fields = ParseAspectLine(line->text)) {
      AddEntry(aspects, *fields);
    } else {
      LogLine(log, {kLine, std::to_string(reader.lineNumber), kOf, inputName, kNotAnAspectLine});
    }
  }
}

}  // namespace korvo
