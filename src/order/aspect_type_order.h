#pragma once

#include <fstream>
#include <string>
#include <string_view>

#include "aspectlist/aspect_entry.h"
#include "aspectlist/entry_order.h"
#include "order/name_groups.h"
#include "platform/line_reader.h"
#include "run/run_log.h"
#include "run/settings.h"

namespace korvo {

// The built-in aspect-types file of a language and mode, relative to the current directory.
std::string DefaultAspectTypesName(LanguageFlag language, ChartMode mode);

// The UTF-8 spelling of the Russian built-in name of a mode (the same characters that the
// Windows-1251 bytes of DefaultAspectTypesName stand for).
std::string RussianDefaultAspectTypesUtf8Name(ChartMode mode);

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
// whitespace right before it. Other lines are passed over; names are not de-duplicated.
void ReadAspectTypes(LineReader& reader, NameList& aspectTypes, RunLog& log,
                     std::string_view fileName);

// Appends the aspect names of the entries that are not yet types, in the order given, each once.
void AppendMissingTypes(const AspectList& list, const EntryOrder& order, NameList& aspectTypes);

// Groups the order by aspect name in the order of the types.
void GroupByAspectType(const AspectList& list, EntryOrder& order, const NameList& aspectTypes);

}  // namespace korvo
