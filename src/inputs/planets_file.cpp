#include "inputs/planets_file.h"

#include <optional>

#include "aspectlist/aspect_entry.h"
#include "base/log_texts.h"
#include "inputs/input_names.h"
#include "inputs/logged_lines.h"
#include "platform/absolute_path.h"
#include "platform/file_system.h"

namespace korvo {
namespace {

// Room for the names of a planets file, made before it is read.
constexpr std::size_t kPlanetNamesRoom = 32;

}  // namespace

bool OpenPlanetsFile(std::ifstream& stream, std::string& planetsFileName, LanguageFlag language,
                     std::string_view currentDirectory, RunLog& log) {
  const std::string relativeName = PlanetsFileName(language);
  const AbsoluteName absoluteName = AbsolutePath(currentDirectory, relativeName, kNameBufferSize);
  if (!absoluteName.name) {
    LogLine(log, {kFile, relativeName, kNotAvailable});
    if (absoluteName.tooLong) LogNameTooLong(log, kNameBufferSize);
    return false;
  }
  planetsFileName = *absoluteName.name;
  if (!OpenForReading(stream, planetsFileName)) {
    LogLine(log, {kFile, planetsFileName, kNotAvailable});
    return false;
  }
  LogLine(log, {kUsingPlanets, planetsFileName});
  return true;
}

void ReadPlanets(LineReader& reader, NameList& planets, RunLog& log, std::string_view fileName) {
  while (const std::optional<InputLine> line = NextLineLogged(reader, log, fileName)) {
    if (!line->text.empty() && IsWhitespace(line->text.front())) continue;
    LogNameAtWhitespaceEdge(log, reader, fileName, line->text);
    planets.emplace_back(line->text);
  }
}

bool ReadPlanetsFile(std::ifstream& stream, std::string& planetsFileName, LanguageFlag language,
                     std::string_view currentDirectory, RunLog& log, NameList& planets) {
  planets.reserve(kPlanetNamesRoom);
  if (!OpenPlanetsFile(stream, planetsFileName, language, currentDirectory, log)) return false;
  LineReader reader = MakeLineReader(stream, CodePageOf(language));
  ReadPlanets(reader, planets, log, planetsFileName);
  return ReadToTheEnd(reader, log, kFile, planetsFileName);  // names before it are used
}

}  // namespace korvo
