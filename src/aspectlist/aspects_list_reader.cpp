#include "aspectlist/aspects_list_reader.h"

#include <algorithm>

#include "run/log_texts.h"

namespace korvo {
namespace {

constexpr std::size_t kInitialListRoom = 64;

// A list that lacks its header would lose its first four aspects into it: that is logged, and
// the four lines are still taken as the header.
void ReadHeader(LineReader& reader, std::string& headerText, RunLog& log,
                std::string_view inputName) {
  bool allReadAsAspectLines = true;
  for (int i = 0; i < kHeaderLineCount; ++i) {
    const std::optional<InputLine> line = NextLineLogged(reader, log, inputName);
    if (line) headerText.append(line->text);
    headerText.append(kHeaderLineEnd);
    allReadAsAspectLines = allReadAsAspectLines && line && IsAspectLine(line->text);
  }
  if (allReadAsAspectLines) LogLine(log, {kHeaderOf, inputName, kReadsAsAspectLines});
}

}  // namespace

void ReadAspectsList(LineReader& reader, std::string& headerText, AspectList& aspects, RunLog& log,
                     std::string_view inputName) {
  ReadHeader(reader, headerText, log, inputName);
  aspects.entries.reserve(std::max(aspects.entries.capacity(), kInitialListRoom));
  while (const std::optional<InputLine> line = NextLineLogged(reader, log, inputName)) {
    if (line->text.find(kDegreeSign) == std::string_view::npos) continue;
    if (const std::optional<AspectFields> fields = ParseAspectLine(line->text)) {
      if (!IsOrbSign(fields->orbSign)) {
        LogLine(log, {kLine, std::to_string(reader.lineNumber), kOf, inputName, kOrbSign,
                      std::string_view(&fields->orbSign, 1), kIsNotASign});
      }
      AddEntry(aspects, *fields);
    } else {
      LogLine(log, {kLine, std::to_string(reader.lineNumber), kOf, inputName, kNotAnAspectLine});
    }
  }
}

}  // namespace korvo
