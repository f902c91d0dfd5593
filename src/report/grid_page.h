#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "aspectlist/aspect_entry.h"
#include "aspectlist/aspect_grid.h"
#include "base/settings.h"
#include "report/grid_texts.h"

namespace korvo {

// The grid page's name: the page's name with "-grid" before its ".html".
std::string GridPageName(std::string_view pageName);

// How an aspect type is shown: a drawn symbol, or a text (Q, bQ, or the type's first three
// bytes), in the colour of its tone.
struct AspectSymbol {
  const DrawnSymbol* drawing = nullptr;  // null for a text symbol
  std::string_view text;
  std::string_view tone;
};

// The symbol of an aspect name, known by its English or Russian names without regard to case.
AspectSymbol SymbolOf(std::string_view aspectName);

// The label of a point in the column headers and on the diagonal, as the page holds it: a planet's
// glyph, a house's Roman numeral, or the name's first three bytes, escaped.
std::string PointLabel(const GridPoint& point);

// The orb cut to degrees and minutes: its digits and degree sign, and the minutes when their
// digits and mark follow at once.
std::string_view OrbToMinutes(std::string_view orbText);

// The whole grid page: the head of the language (the page's charset), the drawn symbols it shows,
// the header lines, the grid and its legend. The files' texts are escaped.
void WriteGridPage(std::ostream& page, const AspectList& list, const AspectGrid& grid,
                   const std::vector<std::string>& headerLines, LanguageFlag language);

}  // namespace korvo
