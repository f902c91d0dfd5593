#pragma once

#include <array>
#include <string_view>

namespace korvo {

// The fixed texts of the grid page. "\n" stands for a line end, stored as CR LF; the Russian
// texts are Windows-1251 bytes, as the files' texts are, until the page is written.

inline constexpr std::string_view kGridPageSuffix = "-grid";  // before the page's ".html"

// The grid page is UTF-8, whatever the run's code page: its texts are converted as it is written.
inline constexpr std::string_view kGridPageStart = "<!DOCTYPE html>\n<html lang=\"";
inline constexpr std::string_view kEnglishLanguage = "en";
inline constexpr std::string_view kRussianLanguage = "ru";
inline constexpr std::string_view kGridHeadStart = "\">\n<head>\n  <meta charset=\"utf-8\">\n  ";
// The titles stand early in the head: an existing file is replaced by a grid page only when its
// first bytes hold one of them.
inline constexpr std::string_view kEnglishGridTitle = "<title>VEXA - Aspect Grid</title>";
// "VEXA - Сетка аспектов"
inline constexpr std::string_view kRussianGridTitle =
    "<title>VEXA - \xD1\xE5\xF2\xEA\xE0 \xE0\xF1\xEF\xE5\xEA\xF2\xEE\xE2</title>";
// After the title: phones lay the page out at their own width.
inline constexpr std::string_view kGridViewport =
    "\n  <meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";

// The style, before the colours of the tones and the size of the printed grid. On a screen the
// grid scrolls in a box no taller than the screen, its row names and column headers staying in
// view, and no text is smaller than 12 CSS px; a focused aspect shows its text at the foot of the
// screen. On paper the grid is scaled to the page's width, its header row repeated on each page.
inline constexpr std::string_view kGridStyleStart =
    "  <style>\n"
    "    body { font-family: sans-serif; color: #000; background: #fff; }\n"
    "    .grid-box { overflow: auto; max-width: 100%; max-height: 100vh; }\n"
    "    #aspect-grid { border-collapse: collapse; }\n"
    "    #aspect-grid th { font-weight: normal; padding: 0 0.4em; background: #fff; }\n"
    "    #aspect-grid thead th, #aspect-grid thead td { position: sticky; top: 0; z-index: 1;"
    " height: 1.8em; background: #fff; }\n"
    "    #aspect-grid thead th { font-size: 1.3em; }\n"
    "    #aspect-grid tbody th { position: sticky; left: 0; z-index: 1; text-align: right;"
    " white-space: nowrap; }\n"
    "    #aspect-grid thead td.corner { left: 0; z-index: 2; }\n"
    "    #aspect-grid td { width: 3.4em; height: 2.6em; padding: 0.1em; text-align: center;"
    " vertical-align: middle; border: 1px solid #999; }\n"
    "    #aspect-grid td.corner, #aspect-grid td.above, #aspect-grid td.total { border: none; }\n"
    "    #aspect-grid td.point { background: #eee; font-size: 1.3em; }\n"
    "    #aspect-grid td.total { width: auto; padding: 0 0.4em; font-weight: bold; }\n"
    "    .columns-caption, .rows-caption { display: block; font-size: 0.75em; white-space: nowrap;"
    " }\n"
    "    .columns-caption { text-align: right; }\n"
    "    .rows-caption { text-align: left; }\n"
    "    svg.glyph { width: 1em; height: 1em; vertical-align: middle; fill: none;"
    " stroke: currentColor; stroke-width: 1.5; stroke-linecap: round; stroke-linejoin: round; }\n"
    "    .aspect { display: block; white-space: nowrap; line-height: 1.1; }\n"
    "    .point .aspect { font-size: 0.77em; }\n"
    "    .aspect:focus { outline: 2px solid #000; }\n"
    "    .aspect:focus::after { content: attr(aria-label); position: fixed; left: 0.5em;"
    " right: 0.5em; bottom: 0.5em; z-index: 3; padding: 0.4em; border: 1px solid #000;"
    " background: #fff; color: #000; font-size: 1rem; font-weight: normal; white-space: normal; }\n"
    "    .symbol { display: block; margin: 0 auto; width: 1.3em; height: 1.3em; font-weight: bold;"
    " }\n"
    "    svg.symbol { fill: none; stroke: currentColor; stroke-width: 1.7; stroke-linecap: round;"
    " stroke-linejoin: round; }\n"
    "    .orb { display: block; font-size: 0.75em; }\n"
    "    .tight, .tight-legend { font-weight: bold; }\n"
    "    .tight svg.symbol { stroke-width: 2.8; }\n"
    "    .legend { margin-top: 1em; }\n"
    "    .legend .entry { display: inline-block; margin-right: 1.5em; white-space: nowrap; }\n"
    "    .legend .symbol { display: inline-block; vertical-align: middle; }\n"
    "    svg.symbols { position: absolute; width: 0; height: 0; }\n"
    "    @page { size: A4; margin: 12mm; }\n"
    "    @media print {\n"
    "      body { font-size: 8pt; }\n"
    "      .grid-box { overflow: visible; max-height: none; }\n"
    "      #aspect-grid { table-layout: fixed; }\n"
    "      #aspect-grid thead th, #aspect-grid thead td, #aspect-grid tbody th { position: static; "
    "}\n"
    "      #aspect-grid td { width: auto; }\n"
    "      #aspect-grid thead td.corner { width: 7em; }\n"
    "      #aspect-grid thead td.total { width: 3em; }\n"
    "      #aspect-grid tbody th { white-space: normal; overflow-wrap: anywhere; }\n"
    "      #aspect-grid td.point { print-color-adjust: exact; -webkit-print-color-adjust: exact; "
    "}\n"
    "      #aspect-grid tr, .legend { break-inside: avoid; }\n"
    "      .legend { break-before: avoid; }\n"
    "      .aspect:focus::after { display: none; }\n"
    "    }\n";
// The size of the printed grid follows, for its number of columns: kPrintScaleStart, the font
// size, kPrintScaleWidth, the table's width (both in pt), kPrintScaleEnd.
inline constexpr std::string_view kPrintScaleStart =
    "    @media print { #aspect-grid { font-size: ";
inline constexpr std::string_view kPrintScaleWidth = "pt; width: ";
inline constexpr std::string_view kPrintScaleEnd = "pt; } }\n";
inline constexpr std::string_view kGridStyleEnd =
    "  </style>\n"
    "</head>\n"
    "<body>\n";

// Paper: the width of A4 within its margins (186 mm) in hundredths of a pt, and what a grid
// needs of it, in tenths of an em: its row names, each column, the totals. A grid is printed at
// 8 pt, or smaller when its columns need it.
inline constexpr int kPrintWidthCentiPoints = 52724;
inline constexpr int kLargestPrintFontCentiPoints = 800;
inline constexpr int kRowNamesDeciEms = 70;
inline constexpr int kColumnDeciEms = 37;
inline constexpr int kTotalsDeciEms = 30;

// The drawn symbols, each defined once on a page that shows it and drawn in the colour of the
// text around it, so that no font needs to hold the aspect glyphs.
inline constexpr std::string_view kSymbolsStart = "<svg class=\"symbols\" aria-hidden=\"true\">\n";
inline constexpr std::string_view kSymbolStart = "<symbol id=\"";  // then the symbol's id
inline constexpr std::string_view kSymbolShapesStart = "\" viewBox=\"0 0 20 20\">";
inline constexpr std::string_view kSymbolEnd = "</symbol>\n";
inline constexpr std::string_view kSymbolsEnd = "</svg>\n";

// How an aspect type is shown: a drawn symbol (its id and its shapes), or a text, in the colour
// class of its tone.
struct AspectSymbol {
  std::string_view drawingId;  // empty for a text symbol
  std::string_view shapes;
  std::string_view text;
  std::string_view tone;
};

// The tone classes of the aspects.
inline constexpr std::string_view kTenseTone = "tense";
inline constexpr std::string_view kHarmoniousTone = "harmonious";
inline constexpr std::string_view kConjunctionTone = "conjunction";
inline constexpr std::string_view kOtherTone = "other";

// The colour of each tone, "#rrggbb". Tense stays red-orange and harmonious blue. Each reads at
// 4.5:1 or more on white, and every two stay at least 20 apart (CIE76 in CIELAB) to normal
// vision and under full deuteranopia and protanopia, so that the colours tell the tones apart for
// readers who confuse red and green: today's worst pair is 57 apart.
struct ToneColour {
  std::string_view tone;
  std::string_view colour;
};

inline constexpr ToneColour kToneColours[] = {
    {kTenseTone, "#c05010"},
    {kHarmoniousTone, "#0018f8"},
    {kConjunctionTone, "#000000"},
    {kOtherTone, "#c040a8"},
};
// A tone's rule: kToneRuleStart, the tone, kToneRuleColour, the colour, kToneRuleEnd.
inline constexpr std::string_view kToneRuleStart = "    .";
inline constexpr std::string_view kToneRuleColour = " { color: ";
inline constexpr std::string_view kToneRuleEnd = "; }\n";

// An aspect type the grid knows, by its names compared without case: English ones in every run,
// Russian ones (Windows-1251) only in Russian runs. Names are in lower case; a place left empty
// names nothing.
struct KnownAspectType {
  std::array<std::string_view, 3> englishNames;
  std::array<std::string_view, 2> russianNames;
  AspectSymbol symbol;
};

inline constexpr KnownAspectType kKnownAspectTypes[] = {
    {{"conjunction"},
     {"\xF1\xEE\xE5\xE4\xE8\xED\xE5\xED\xE8\xE5"},  // соединение
     {"conjunction",
      "<circle cx=\"8\" cy=\"12\" r=\"4.5\"/><path d=\"M11.2 8.8L16 4\"/>",
      {},
      kConjunctionTone}},
    {{"opposition"},
     {"\xEE\xEF\xEF\xEE\xE7\xE8\xF6\xE8\xFF"},  // оппозиция
     {"opposition",
      "<circle cx=\"5\" cy=\"15\" r=\"3\"/><circle cx=\"15\" cy=\"5\" r=\"3\"/>"
      "<path d=\"M7.1 12.9L12.9 7.1\"/>",
      {},
      kTenseTone}},
    {{"trine"},
     {"\xF2\xF0\xE8\xED", "\xF2\xF0\xE8\xE3\xEE\xED"},  // трин, тригон
     {"trine", "<path d=\"M10 3L17.5 16.5H2.5Z\"/>", {}, kHarmoniousTone}},
    {{"square"},
     {"\xEA\xE2\xE0\xE4\xF0\xE0\xF2",
      "\xEA\xE2\xE0\xE4\xF0\xE0\xF2\xF3\xF0\xE0"},  // квадрат, квадратура
     {"square", "<path d=\"M4 4H16V16H4Z\"/>", {}, kTenseTone}},
    {{"sextile"},
     {"\xF1\xE5\xEA\xF1\xF2\xE8\xEB\xFC"},  // секстиль
     {"sextile",
      "<path d=\"M10 3V17M3.9 6.5L16.1 13.5M3.9 13.5L16.1 6.5\"/>",
      {},
      kHarmoniousTone}},
    {{"semisextile", "semi-sextile"},
     {"\xEF\xEE\xEB\xF3\xF1\xE5\xEA\xF1\xF2\xE8\xEB\xFC"},  // полусекстиль
     {"semisextile", "<path d=\"M4 4L10 13L16 4M4 16.5H16\"/>", {}, kOtherTone}},
    {{"quincunx", "inconjunct"},
     {"\xEA\xE2\xE8\xED\xEA\xEE\xED\xF1"},  // квинконс
     {"quincunx", "<path d=\"M4 3.5H16M4 16L10 7L16 16\"/>", {}, kOtherTone}},
    {{"semisquare", "semi-square", "octile"},
     {"\xEF\xEE\xEB\xF3\xEA\xE2\xE0\xE4\xF0\xE0\xF2"},  // полуквадрат
     {"semisquare", "<path d=\"M16 5L4 15H16\"/>", {}, kTenseTone}},
    {{"sesquiquadrate", "sesquisquare"},
     {"\xEF\xEE\xEB\xF3\xF2\xEE\xF0\xE0\xEA\xE2\xE0\xE4\xF0\xE0\xF2",  // полутораквадрат
      "\xF1\xE5\xF1\xEA\xE2\xE8\xEA\xE2\xE0\xE4\xF0\xE0\xF2"},         // сесквиквадрат
     {"sesquiquadrate", "<path d=\"M3 8H12V17H3ZM12 8L17 3\"/>", {}, kTenseTone}},
    {{"quintile"},
     {"\xEA\xE2\xE8\xED\xF2\xE8\xEB\xFC"},  // квинтиль
     {{}, {}, "Q", kOtherTone}},
    {{"biquintile"},
     {"\xE1\xE8\xEA\xE2\xE8\xED\xF2\xE8\xEB\xFC"},  // биквинтиль
     {{}, {}, "bQ", kOtherTone}},
};

inline constexpr std::size_t kShortNameLength = 3;  // an unknown type or point: its first bytes

// The points of the bundled planets files (and three more), compared without case as the aspect
// types are, with their glyphs drawn as the aspect symbols are, so that each has the same size on
// every system whatever its fonts.
struct PointGlyph {
  std::string_view englishName;
  std::string_view russianName;  // Windows-1251, in lower case
  std::string_view id;
  std::string_view shapes;
};

inline constexpr PointGlyph kPointGlyphs[] = {
    {"sun", "\xF1\xEE\xEB\xED\xF6\xE5", "sun",  // солнце
     "<circle cx=\"10\" cy=\"10\" r=\"7\"/><circle cx=\"10\" cy=\"10\" r=\"1.3\" "
     "fill=\"currentColor\"/>"},
    {"moon", "\xEB\xF3\xED\xE0", "moon",  // луна
     "<path d=\"M8 3A7 7 0 0 1 8 17A5.2 7 0 0 0 8 3Z\"/>"},
    {"mercury", "\xEC\xE5\xF0\xEA\xF3\xF0\xE8\xE9", "mercury",  // меркурий
     "<circle cx=\"10\" cy=\"9\" r=\"3.5\"/><path d=\"M6.5 2.5A3.5 3 0 0 0 13.5 2.5M10 12.5V18.5"
     "M7.5 15.5H12.5\"/>"},
    {"venus", "\xE2\xE5\xED\xE5\xF0\xE0", "venus",  // венера
     "<circle cx=\"10\" cy=\"7\" r=\"4.5\"/><path d=\"M10 11.5V18.5M7 15H13\"/>"},
    {"mars", "\xEC\xE0\xF0\xF1", "mars",  // марс
     "<circle cx=\"8\" cy=\"12\" r=\"4.5\"/><path d=\"M11.2 8.8L16.5 3.5M12.5 3.5H16.5V7.5\"/>"},
    {"jupiter", "\xFE\xEF\xE8\xF2\xE5\xF0", "jupiter",  // юпитер
     "<path d=\"M4.5 6.5A3 3 0 1 1 9.5 9L4 14H16.5M13.5 3V18\"/>"},
    {"saturn", "\xF1\xE0\xF2\xF3\xF0\xED", "saturn",  // сатурн
     "<path d=\"M5 4.5H10M7.5 2V14Q7.5 9.5 11 9.5Q14.5 9.5 13 13.5Q11.5 16.5 14 18\"/>"},
    {"uranus", "\xF3\xF0\xE0\xED", "uranus",  // уран
     "<path d=\"M5 3V12M15 3V12M5 7.5H15M10 3V13\"/><circle cx=\"10\" cy=\"15.5\" r=\"2.2\"/>"},
    {"neptune", "\xED\xE5\xEF\xF2\xF3\xED", "neptune",  // нептун
     "<path d=\"M4 4.5Q4 11.5 10 11.5Q16 11.5 16 4.5M10 3V18.5M7 15.5H13\"/>"},
    {"pluto", "\xEF\xEB\xF3\xF2\xEE\xED", "pluto",  // плутон
     "<path d=\"M6 2.5V17.5H13.5M6 2.5H10A3.5 3.5 0 0 1 10 9.5H6\"/>"},
    {"north node", "\xF1\xE5\xE2. \xF3\xE7\xE5\xEB", "north-node",  // сев. узел
     "<path d=\"M7.3 14.2A5 5 0 1 1 12.7 14.2\"/><circle cx=\"6\" cy=\"15.5\" r=\"2\"/>"
     "<circle cx=\"14\" cy=\"15.5\" r=\"2\"/>"},
    {"south node", "\xFE\xE6. \xF3\xE7\xE5\xEB", "south-node",  // юж. узел
     "<path d=\"M7.3 5.8A5 5 0 1 0 12.7 5.8\"/><circle cx=\"6\" cy=\"4.5\" r=\"2\"/>"
     "<circle cx=\"14\" cy=\"4.5\" r=\"2\"/>"},
    {"chiron", "\xF5\xE8\xF0\xEE\xED", "chiron",  // хирон
     "<path d=\"M9 2.5V12.5M9 8L14 3M9 8L14 12\"/><circle cx=\"9\" cy=\"15.5\" r=\"2.6\"/>"},
    {"lilith", "\xEB\xE8\xEB\xE8\xF2", "lilith",  // лилит
     "<path d=\"M9 1.5A5 5 0 1 0 9 11.5A3.8 5 0 0 1 9 1.5Z\"/><path d=\"M10 11.5V18.5M7 "
     "15.5H13\"/>"},
};

// Pieces of the grid and its legend. The grid scrolls in its box; its header row is the table's
// head, repeated on each printed page. A cell's aspects follow one another, each its symbol over
// its orb; the diagonal of a natal grid shows the point's label; each row ends in its total.
inline constexpr std::string_view kGridStart =
    "<div class=\"grid-box\">\n<table id=\"aspect-grid\">\n<thead>\n";
inline constexpr std::string_view kGridHeadEnd = "</thead>\n<tbody>\n";
inline constexpr std::string_view kGridEnd = "</tbody>\n</table>\n</div>\n";
inline constexpr std::string_view kCornerCellStart = "<tr><td class=\"corner\">";
inline constexpr std::string_view kCornerCellEnd = "</td>";
// In the corner of a transit grid: what its columns and its rows are.
inline constexpr std::string_view kEnglishTransitCaptions =
    "<span class=\"columns-caption\">Transiting</span><span class=\"rows-caption\">Natal</span>";
// "Транзитные", "Натальные"
inline constexpr std::string_view kRussianTransitCaptions =
    "<span class=\"columns-caption\">\xD2\xF0\xE0\xED\xE7\xE8\xF2\xED\xFB\xE5</span>"
    "<span class=\"rows-caption\">\xCD\xE0\xF2\xE0\xEB\xFC\xED\xFB\xE5</span>";
inline constexpr std::string_view kEnglishTotalHeader = "<td class=\"total\">Total</td>";
inline constexpr std::string_view kRussianTotalHeader =
    "<td class=\"total\">\xC2\xF1\xE5\xE3\xEE</td>";                    // "Всего"
inline constexpr std::string_view kColumnHeaderStart = "<th title=\"";  // then the full name
inline constexpr std::string_view kColumnHeaderLabel = "\">";           // then the label
inline constexpr std::string_view kHeaderEnd = "</th>";
inline constexpr std::string_view kRowHeaderStart = "<tr><th>";  // then the full name
inline constexpr std::string_view kCellStart = "<td>";
inline constexpr std::string_view kPointCellStart = "<td class=\"point\">";  // then the label
inline constexpr std::string_view kCellEnd = "</td>";
inline constexpr std::string_view kAboveDiagonalCell = "<td class=\"above\"></td>";
inline constexpr std::string_view kTotalCellStart = "<td class=\"total\">";  // then the number
inline constexpr std::string_view kGridRowEnd = "</tr>\n";
// An aspect: kAspectStart, its tone, kTightClass when its orb is under 1 degree,
// kAspectAttributes, the aspect as listed, kAspectLabel, the same again, kAspectContent, then
// symbol and orb. It can be focused, and its text is its accessible name.
inline constexpr std::string_view kAspectStart = "<span class=\"aspect ";
inline constexpr std::string_view kTightClass = " tight";
inline constexpr std::string_view kAspectAttributes = "\" tabindex=\"0\" role=\"img\" title=\"";
inline constexpr std::string_view kAspectLabel = "\" aria-label=\"";
inline constexpr std::string_view kAspectContent = "\">";
inline constexpr std::string_view kOrbStart = "<span class=\"orb\">";
inline constexpr std::string_view kSpanEnd = "</span>";
inline constexpr std::string_view kDrawnSymbolStart = "<svg class=\"symbol\"><use href=\"#";
inline constexpr std::string_view kGlyphStart = "<svg class=\"glyph\"><use href=\"#";
inline constexpr std::string_view kDrawnSymbolEnd = "\"/></svg>";
inline constexpr std::string_view kTextSymbolStart = "<span class=\"symbol\">";
inline constexpr std::string_view kLegendStart = "<p class=\"legend\">";
inline constexpr std::string_view kLegendEntryStart = "<span class=\"entry\"><span class=\"";
inline constexpr std::string_view kLegendSymbol = "\">";     // then the symbol
inline constexpr std::string_view kLegendName = "</span> ";  // then the aspect name
inline constexpr std::string_view kLegendCountStart = " <span class=\"count\">(";  // the count
inline constexpr std::string_view kLegendCountEnd = ")</span>";
// Closes the legend when a tight aspect is shown.
inline constexpr std::string_view kEnglishTightLegend =
    "<span class=\"entry tight-legend\">bold: orb under 1\xB0</span>";
// "жирным: орбис меньше 1°"
inline constexpr std::string_view kRussianTightLegend =
    "<span class=\"entry tight-legend\">\xE6\xE8\xF0\xED\xFB\xEC: \xEE\xF0\xE1\xE8\xF1 "
    "\xEC\xE5\xED\xFC\xF8\xE5 1\xB0</span>";
inline constexpr std::string_view kLegendEnd = "</p>\n";
inline constexpr std::string_view kGridPageEnd = "</body>\n</html>\n";

}  // namespace korvo
