#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "aspectlist/aspect_entry.h"
#include "aspectlist/entry_order.h"
#include "base/settings.h"
#include "report/page_escaping.h"
#include "report/table_writer.h"

namespace korvo {

// The page's name: the input name whose file part has its last "." and what follows replaced by
// ".html", or ".html" appended when the file part has no ".". Only the part after the last
// `separator` is looked at, so the page always stands in the input's own folder.
std::string MakePageName(std::string_view inputName, char separator);

// The header lines as the page shows them: each escaped and followed by "<br>".
std::string HeaderText(const std::vector<std::string>& headerLines);

// The header block: the header lines, as HeaderText gives them, between "<h3>" and "</h3>" and a
// line end.
std::string HeaderBlock(const std::vector<std::string>& headerLines);

// The page head of the language, then the header block holding the header lines.
void WritePageStart(std::ostream& page, LanguageFlag language,
                    const std::vector<std::string>& headerLines);

// One table: its start, the header row of the layout, one row per entry, its end.
void WriteTableBlock(std::ostream& page, const AspectList& list, const PageTexts& pageTexts,
                     const EntryOrder& order, TableLayout layout, LanguageFlag language);

void WritePageEnd(std::ostream& page);

}  // namespace korvo
