#include "order/aspect_type_order.h"

#include "platform/absolute_path.h"
#include "platform/file_system.h"
#include "run/log_texts.h"

namespace korvo {
namespace {

// The Russian default names are made absolute one byte into the name buffer, so that a '!' can
// later stand in front of them: they have one byte less room.
constexpr std::size_t kRussianDefaultNameCapacity = kNameBufferSize - 1;
constexpr std::string_view kSecondTryMark = "!";

bool OpenLogged(std::ifstream& stream, const std::string& name, std::string_view usingText,
                RunLog& log) {
  stream.clear();
  if (OpenForReading(stream, name)) {
    LogLine(log, {usingText, name});
    return true;
  }
  LogLine(log, {kFile, name, kNotAvailable});
  return false;
}

}  // namespace

std::string DefaultAspectTypesName(LanguageFlag language, ChartMode mode) {
  const bool natal = mode == ChartMode::natal;
  if (language == LanguageFlag::russian) {
    return NativeName(natal ? "aspects/\xEC\xE1\xD4\xE1\xBD.asp"
                            : "aspects/\xD2\xF0\xE0\xED\xE7\xE8\xF2.asp");  // Транзит
  }
  return NativeName(natal ? "aspects/Natal.asp" : "aspects/Transit.asp");
}

bool OpenAspectTypesFile(std::ifstream& stream, std::string& aspectTypesFileName,
                         LanguageFlag language, ChartMode mode, std::string_view currentDirectory,
                         RunLog& log) {
  if (!aspectTypesFileName.empty()) {
    return OpenLogged(stream, aspectTypesFileName, kUsingAspectTypes, log);
  }
  const bool russian = language == LanguageFlag::russian;
  const std::string relativeName = DefaultAspectTypesName(language, mode);
  const std::optional<std::string> absoluteName = AbsolutePath(
      currentDirectory, relativeName, russian ? kRussianDefaultNameCapacity : kNameBufferSize);
  if (!absoluteName) {
    LogLine(log, {kFile, relativeName, kNotAvailable});
    if (russian) LogLine(log, {kFile, kSecondTryMark, relativeName, kNotAvailable});
    return false;
  }
  aspectTypesFileName = *absoluteName;
  if (OpenLogged(stream, aspectTypesFileName, kUsingFirstDefaultAspectTypes, log)) return true;
  if (!russian) return false;
  aspectTypesFileName.insert(0, kSecondTryMark);
  return OpenLogged(stream, aspectTypesFileName, kUsingAspectTypes, log);
}

void ReadAspectTypes(LineReader& reader, NameList& aspectTypes, RunLog& log,
                     std::string_view fileName) {
  while (const std::optional<InputLine> line = NextLineLogged(reader, log, fileName)) {
    std::size_t nameEnd = line->text.find(';');
    if (nameEnd == std::string_view::npos) continue;
    while (nameEnd > 0 && IsWhitespace(line->text[nameEnd - 1])) --nameEnd;
    aspectTypes.emplace_back(line->text.substr(0, nameEnd));
  }
}

void AppendMissingTypes(const AspectList& list, const EntryOrder& order, NameList& aspectTypes) {
  AppendMissingNames(list, order, aspectTypes, GroupingName::aspect);
}

void GroupByAspectType(const AspectList& list, EntryOrder& order, const NameList& aspectTypes) {
  GroupByName(list, order, aspectTypes, GroupingName::aspect);
}

}  // namespace korvo
