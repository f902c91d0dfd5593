#include "order/aspect_type_order.h"

#include <vector>

#include "platform/absolute_path.h"
#include "platform/file_system.h"
#include "run/log_texts.h"

namespace korvo {
namespace {

constexpr std::string_view kSecondTryMark = "!";

// Opens the first of the spellings of one name that can be opened, and logs it; when none can,
// logs the first spelling as not available. `triedName` becomes the name logged.
bool OpenLogged(std::ifstream& stream, const std::vector<std::string>& spellings,
                std::string_view usingText, RunLog& log, std::string& triedName) {
  for (const std::string& name : spellings) {
    stream.clear();
    if (OpenForReading(stream, name)) {
      triedName = name;
      LogLine(log, {usingText, name});
      return true;
    }
  }
  triedName = spellings.front();
  LogLine(log, {kFile, triedName, kNotAvailable});
  return false;
}

}  // namespace

std::string DefaultAspectTypesName(LanguageFlag language, ChartMode mode) {
  const bool natal = mode == ChartMode::natal;
  if (language == LanguageFlag::russian) {
    // The natal name's bytes show as "мбФбЅ" in Windows-1251; the transit name is "Транзит".
    return NativeName(natal ? "aspects/\xEC\xE1\xD4\xE1\xBD.asp"
                            : "aspects/\xD2\xF0\xE0\xED\xE7\xE8\xF2.asp");
  }
  return NativeName(natal ? "aspects/Natal.asp" : "aspects/Transit.asp");
}

std::string RussianDefaultAspectTypesUtf8Name(ChartMode mode) {
  return NativeName(mode == ChartMode::natal
                        ? "aspects/\xD0\xBC\xD0\xB1\xD0\xA4\xD0\xB1\xD0\x85.asp"
                        : "aspects/\xD0\xA2\xD1\x80\xD0\xB0\xD0\xBD\xD0\xB7\xD0\xB8\xD1\x82.asp");
}

bool OpenAspectTypesFile(std::ifstream& stream, std::string& aspectTypesFileName,
                         LanguageFlag language, ChartMode mode, std::string_view currentDirectory,
                         RunLog& log) {
  if (!aspectTypesFileName.empty()) {
    return OpenLogged(stream, {aspectTypesFileName}, kUsingAspectTypes, log, aspectTypesFileName);
  }
  const bool russian = language == LanguageFlag::russian;
  const std::string relativeName = DefaultAspectTypesName(language, mode);
  // The Russian default names are made absolute one byte into the name buffer, so that a '!'
  // can later stand in front of them: they have one byte less room.
  const std::size_t capacity = russian ? kNameBufferSize - 1 : kNameBufferSize;
  const AbsoluteName absoluteName = AbsolutePath(currentDirectory, relativeName, capacity);
  if (!absoluteName.name) {
    LogLine(log, {kFile, relativeName, kNotAvailable});
    if (absoluteName.tooLong) LogNameTooLong(log, capacity);
    if (russian) {
      LogLine(log, {kFile, kSecondTryMark, relativeName, kNotAvailable});
      if (absoluteName.tooLong) LogNameTooLong(log, capacity);
    }
    return false;
  }
  std::vector<std::string> spellings{*absoluteName.name};
  if (russian && kLooksForUtf8Names) {
    // A UTF-8 spelling too long for its buffer is simply not tried: the Windows-1251 one is
    // the name that is logged.
    if (std::optional<std::string> utf8Name =
            AbsolutePath(currentDirectory, RussianDefaultAspectTypesUtf8Name(mode), capacity)
                .name) {
      spellings.push_back(std::move(*utf8Name));
    }
  }
  if (OpenLogged(stream, spellings, kUsingFirstDefaultAspectTypes, log, aspectTypesFileName)) {
    return true;
  }
  if (!russian) return false;
  for (std::string& name : spellings) name.insert(0, kSecondTryMark);
  return OpenLogged(stream, spellings, kUsingAspectTypes, log, aspectTypesFileName);
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
