#pragma once

#include <fstream>
#include <string>
#include <string_view>

#include "aspectlist/name_list.h"
#include "base/run_log.h"
#include "base/settings.h"
#include "platform/line_reader.h"

namespace korvo {

// Makes the planets file of the language absolute into `planetsFileName` and opens it, logging
// which file is used or that it is not available.
bool OpenPlanetsFile(std::ifstream& stream, std::string& planetsFileName, LanguageFlag language,
                     std::string_view currentDirectory, RunLog& log);

// Appends one planet name per line; a line that starts with whitespace is passed over, and a
// name keeps its trailing blanks, which are logged. Names are not de-duplicated.
void ReadPlanets(LineReader& reader, NameList& planets, RunLog& log, std::string_view fileName);

// Opens the planets file as OpenPlanetsFile does and, when it opened, appends its planet names
// as ReadPlanets does, in the code page of `language`. A read that fails is logged, and the names
// read before it are kept. False when the file did not open or its reading failed: its names are
// then not known whole.
bool ReadPlanetsFile(std::ifstream& stream, std::string& planetsFileName, LanguageFlag language,
                     std::string_view currentDirectory, RunLog& log, NameList& planets);

}  // namespace korvo
