#pragma once

#include <ostream>
#include <string>

#include "aspectlist/aspect_entry.h"
#include "aspectlist/entry_order.h"
#include "base/settings.h"
#include "report/page_escaping.h"

namespace korvo {

// The column layout of one table of the page, numbered as the table stands on the page and in
// the log ("Output tbl2" follows the aspect-type table).
enum class TableLayout {
  orbTable = 1,         // Orb, Aspect, From, To
  aspectTypeTable = 2,  // Aspect, From, To, Orb; grouped by aspect name
  planetTable = 3,      // From, Aspect, To, Orb; grouped by from-planet
};

// The table's number on the page: 1, 2 or 3.
int TableNumber(TableLayout layout);

// The fixed header row of a layout in a language ("\n" for each line end).
std::string TableHeaderRow(TableLayout layout, LanguageFlag language);

// Writes one data row per place of the order, then flushes the page. In the grouped layouts a
// group name equal to the previous row's is left out; each call starts with the empty name as
// the previous one. The texts are those of `pageTexts` (EscapeForPage of the list), and the
// sign is escaped as they are; line ends are stored as CR LF.
std::ostream& WriteAspectRows(std::ostream& page, const AspectList& list,
                              const PageTexts& pageTexts, const EntryOrder& order,
                              TableLayout layout);

}  // namespace korvo
