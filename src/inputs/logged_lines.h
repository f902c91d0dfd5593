#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/run_log.h"
#include "platform/line_reader.h"

namespace korvo {

// The next line of a file. Logged with the line's number and `fileName`, in this order: characters
// without a code-page form, a cut at 127 bytes, a zero byte that ended the text early. After the
// last line, a file read as UTF-16 or with lines read as UTF-8 is logged once.
std::optional<InputLine> NextLineLogged(LineReader& reader, RunLog& log, std::string_view fileName);

// The names of the files are logged in UTF-8, converted from the reader's code page, so that the
// log reads in one encoding; the names of the files themselves are logged as they were opened.

// Logs a name just read from the line last returned that begins or ends with whitespace: such a
// name matches none of the list's names as they are written.
void LogNameAtWhitespaceEdge(RunLog& log, const LineReader& reader, std::string_view fileName,
                             std::string_view name);

// Logs each of `names`, in `codePage`, as not in the names file `fileName`, each line starting
// with `namedText` ("Aspect type '" or "Planet '").
void LogNamesNotInFile(RunLog& log, std::string_view namedText, std::span<const std::string> names,
                       CodePage codePage, std::string_view fileName);

// Whether the reading that stopped reached the end of the file. When a read failed instead, logs
// `fileLabel`, `fileName` and the number of lines read whole before the failure.
bool ReadToTheEnd(const LineReader& reader, RunLog& log, std::string_view fileLabel,
                  std::string_view fileName);

}  // namespace korvo
