#include "inputs/aspect_types_file.h"

#include <optional>
#include <vector>

#include "aspectlist/aspect_entry.h"
#include "base/log_texts.h"
#include "inputs/input_names.h"
#include "inputs/logged_lines.h"
#include "platform/absolute_path.h"
#include "platform/file_system.h"

namespace korvo {
namespace {

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

bool OpenAspectTypesFile(std::ifstream& stream, std::string& aspectTypesFileName,
                         LanguageFlag language, ChartMode mode, std::string_view currentDirectory,
                         RunLog& log) {
  if (!aspectTypesFileName.empty()) {
    return OpenLogged(stream, {aspectTypesFileName}, kUsingAspectTypes, log, aspectTypesFileName);
  }
  const bool russian = language == LanguageFlag::russian;
  const std::string relativeName = DefaultAspectTypesName(language, mode);
  const std::size_t capacity = DefaultAspectTypesCapacity(language);
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
  if (russian) {
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
    const std::string_view name = line->text.substr(0, nameEnd);
    LogNameAtWhitespaceEdge(log, reader, fileName, name);
    aspectTypes.emplace_back(name);
  }
}

bool ReadAspectTypesFile(std::ifstream& stream, std::string& aspectTypesFileName,
                         LanguageFlag language, ChartMode mode, std::string_view currentDirectory,
                         RunLog& log, NameList& aspectTypes) {
  if (!OpenAspectTypesFile(stream, aspectTypesFileName, language, mode, currentDirectory, log)) {
    return false;
  }
  LineReader reader = MakeLineReader(stream, CodePageOf(language));
  ReadAspectTypes(reader, aspectTypes, log, aspectTypesFileName);
  return ReadToTheEnd(reader, log, kFile, aspectTypesFileName);  // names before it are used
}

}  // namespace korvo
