#pragma once

#include <fstream>
#include <string>
#include <string_view>

#include "aspectlist/name_list.h"
#include "base/run_log.h"
#include "base/settings.h"
#include "platform/line_reader.h"

namespace korvo {

// Opens the aspect-types file and logs each name tried. A name given with -a is the only one
// tried. Otherwise the default name is made absolute into `aspectTypesFileName` and opened; in
// Russian a failed open is followed by a second try with '!' in front of that absolute name.
// Where names may be UTF-8, each Russian try looks for the Windows-1251 spelling and then the
// UTF-8 one; the log names the spelling that opened, or the Windows-1251 one. Afterwards
// `aspectTypesFileName` holds the name last logged.
bool OpenAspectTypesFile(std::ifstream& stream, std::string& aspectTypesFileName,
                         LanguageFlag language, ChartMode mode, std::string_view currentDirectory,
                         RunLog& log);

// Appends one type name for each line that holds ';': the text before the first ';' without the
// whitespace right before it; a name that begins with whitespace keeps it, and is logged. Other
// lines are passed over; names are not de-duplicated.
void ReadAspectTypes(LineReader& reader, NameList& aspectTypes, RunLog& log,
                     std::string_view fileName);

// Opens the aspect-types file as OpenAspectTypesFile does and, when it opened, appends its type
// names as ReadAspectTypes does, in the code page of `language`. A read that fails is logged, and
// the names read before it are kept. False when no file opened or its reading failed: the names
// of the file are then not known whole.
bool ReadAspectTypesFile(std::ifstream& stream, std::string& aspectTypesFileName,
                         LanguageFlag language, ChartMode mode, std::string_view currentDirectory,
                         RunLog& log, NameList& aspectTypes);

}  // namespace korvo
