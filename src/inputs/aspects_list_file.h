#pragma once

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "aspectlist/aspect_entry.h"
#include "base/run_log.h"
#include "base/settings.h"
#include "platform/line_reader.h"

namespace korvo {

inline constexpr int kHeaderLineCount = 4;

// Makes `inputFileName` absolute and opens it, logging which list is used or why it cannot be.
// `inputFileName` then holds the absolute name, when there is one.
bool OpenAspectsList(std::ifstream& input, std::string& inputFileName,
                     std::string_view currentDirectory, RunLog& log);

// Reads an aspects list: its first four lines go to `headerLines` (a missing line counts as
// empty); every later line that holds 0xB0 becomes one entry of `aspects`. A line with 0xB0 that
// is no aspect line is logged and passed over, and so is the rest of a line longer than 127
// bytes. Logged too: a header whose four lines all read as aspect lines or, short of that, each
// header line that reads as a whole aspect line; and an orb sign that is not '+', '-' or
// whitespace, in UTF-8 as the names of the files are. `inputName` names the file in those lines.
void ReadAspectsList(LineReader& reader, std::vector<std::string>& headerLines, AspectList& aspects,
                     RunLog& log, std::string_view inputName);

// Reads the open aspects list as ReadAspectsList does, in the code page of `language`, with room
// for its entries made once from the file's size. False, logged, when a read of it failed: the
// list is then not whole.
bool ReadAspectsListFile(std::ifstream& input, LanguageFlag language,
                         std::vector<std::string>& headerLines, AspectList& aspects, RunLog& log,
                         std::string_view inputName);

}  // namespace korvo
