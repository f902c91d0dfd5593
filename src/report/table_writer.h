#pragma once

#include <ostream>
#include <string>

#include "aspectlist/aspect_entry.h"
#include "driver/settings.h"

namespace korvo {

// The column layout of one table of the page.
enum class TableLayout {
  orbTable = 1,         // Orb, Aspect, From, To
  planetTable = 2,      // From, Aspect, To, Orb; grouped by from-planet
  aspectTypeTable = 3,  // Aspect, From, To, Orb; grouped by aspect name
};

// The fixed header row of a layout in a language ("\n" for each line end).
std::string TableHeaderRow(TableLayout layout, LanguageFlag language);

// Writes one data row per entry, in list order, then flushes the page. In the grouped layouts a
// group name equal to the previous row's is left out; each call starts with no previous name.
// Texts go to the page byte for byte; line ends are stored as CR LF.
std::ostream& WriteAspectRows(std::ostream& page, const AspectList& aspects, TableLayout layout);

}  // namespace korvo
