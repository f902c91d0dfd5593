#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "aspectlist/aspect_entry.h"
#include "aspectlist/grid_layout.h"
#include "base/settings.h"
#include "report/grid_texts.h"

namespace korvo {

// The grid page's name: the page's name with "-grid" before its ".html".
std::string GridPageName(std::string_view pageName);

// The titles by which an existing file is known as a grid page: the English one, and the Russian
// one in Windows-1251 (as grid pages were written before they were UTF-8) and in UTF-8.
std::vector<std::string> GridPageTitles();

// The symbol of an aspect name: a known type's (its names compared without case in the run's
// code page, Russian names only in Russian runs), else the name's first three bytes, tone other.
AspectSymbol SymbolOf(std::string_view aspectName, LanguageFlag language);

// The drawn glyph of a known point (its name known as the aspect types' are), or null.
const PointGlyph* GlyphOf(const GridPoint& point, LanguageFlag language);

// The label of a point in the column headers and on the diagonal, as the page holds it before it
// is converted to UTF-8: a planet's drawn glyph, used from the page's symbols, a house's Roman
// numeral, or the name's first three bytes, escaped.
std::string PointLabel(const GridPoint& point, LanguageFlag language);

// The orb cut to degrees and minutes: its digits and degree sign, and the minutes when their
// digits and mark follow at once.
std::string_view OrbToMinutes(std::string_view orbText);

// The whole grid page, in UTF-8: the head of the language (its style printing the grid across the
// page's width), the drawn symbols and glyphs it shows, each defined once, the header lines, the
// grid (its header row the table's head; each row ending in its total) and its legend (with the
// count of each aspect type). The files' texts are escaped and converted from the run's code
// page, a byte that has no character there written as '?'.
void WriteGridPage(std::ostream& page, const AspectList& list, const AspectGrid& grid,
                   const std::vector<std::string>& headerLines, LanguageFlag language);

}  // namespace korvo
