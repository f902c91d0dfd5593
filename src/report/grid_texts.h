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
inline constexpr std::string_view kGridTitleEnd = "\n";

// Colours, each at least 4.5:1 on white: tense #b00000 (7.4:1), harmonious #0040a0 (9.4:1),
// conjunction black (21:1), the others #006400 (7.4:1). A cell is wide enough for a symbol over
// an orb, so that thirteen points print across A4.
inline constexpr std::string_view kGridStyle =
    "  <style>\n"
    "    body { font-family: sans-serif; color: #000; background: #fff; }\n"
    "    #aspect-grid { border-collapse: collapse; }\n"
    "    #aspect-grid th { font-weight: normal; padding: 0 0.4em; }\n"
    "    #aspect-grid tr:first-child th { font-size: 1.3em; height: 1.8em; }\n"
    "    #aspect-grid tr + tr th { text-align: right; white-space: nowrap; }\n"
    "    #aspect-grid td { width: 3.4em; height: 2.6em; padding: 0.1em; text-align: center;"
    " vertical-align: middle; border: 1px solid #999; }\n"
    "    #aspect-grid td.corner, #aspect-grid td.above { border: none; }\n"
    "    #aspect-grid td.point { background: #eee; font-size: 1.3em; }\n"
    "    .aspect { display: block; white-space: nowrap; line-height: 1.1; }\n"
    "    .point .aspect { font-size: 0.77em; }\n"
    "    .symbol { display: block; margin: 0 auto; width: 1.3em; height: 1.3em; font-weight: bold;"
    " }\n"
    "    svg.symbol { fill: none; stroke: currentColor; stroke-width: 1.7; stroke-linecap: round;"
    " stroke-linejoin: round; }\n"
    "    .orb { display: block; font-size: 0.75em; }\n"
    "    .legend { margin-top: 1em; }\n"
    "    .legend .entry { display: inline-block; margin-right: 1.5em; white-space: nowrap; }\n"
    "    .legend .symbol { display: inline-block; vertical-align: middle; }\n"
    "    .tense { color: #b00000; }\n"
    "    .harmonious { color: #0040a0; }\n"
    "    .conjunction { color: #000; }\n"
    "    .other { color: #006400; }\n"
    "    svg.symbols { position: absolute; width: 0; height: 0; }\n"
    "    @page { size: A4; margin: 12mm; }\n"
    "    @media print {\n"
    "      body { font-size: 8pt; }\n"
    "      #aspect-grid td.point { print-color-adjust: exact; -webkit-print-color-adjust: exact; "
    "}\n"
    "      #aspect-grid tr, .legend { break-inside: avoid; }\n"
    "    }\n"
    "  </style>\n"
    "</head>\n"
    "<body>\n";

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

// The tone classes of the colours above.
inline constexpr std::string_view kTenseTone = "tense";
inline constexpr std::string_view kHarmoniousTone = "harmonious";
inline constexpr std::string_view kConjunctionTone = "conjunction";
inline constexpr std::string_view kOtherTone = "other";

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
// types are, with their glyphs as character references, which need no code page.
struct PointGlyph {
  std::string_view englishName;
  std::string_view russianName;  // Windows-1251, in lower case
  std::string_view glyph;
};

inline constexpr PointGlyph kPointGlyphs[] = {
    {"sun", "\xF1\xEE\xEB\xED\xF6\xE5", "&#9737;"},               // солнце
    {"moon", "\xEB\xF3\xED\xE0", "&#9789;"},                      // луна
    {"mercury", "\xEC\xE5\xF0\xEA\xF3\xF0\xE8\xE9", "&#9791;"},   // меркурий
    {"venus", "\xE2\xE5\xED\xE5\xF0\xE0", "&#9792;"},             // венера
    {"mars", "\xEC\xE0\xF0\xF1", "&#9794;"},                      // марс
    {"jupiter", "\xFE\xEF\xE8\xF2\xE5\xF0", "&#9795;"},           // юпитер
    {"saturn", "\xF1\xE0\xF2\xF3\xF0\xED", "&#9796;"},            // сатурн
    {"uranus", "\xF3\xF0\xE0\xED", "&#9797;"},                    // уран
    {"neptune", "\xED\xE5\xEF\xF2\xF3\xED", "&#9798;"},           // нептун
    {"pluto", "\xEF\xEB\xF3\xF2\xEE\xED", "&#9799;"},             // плутон
    {"north node", "\xF1\xE5\xE2. \xF3\xE7\xE5\xEB", "&#9738;"},  // сев. узел
    {"south node", "\xFE\xE6. \xF3\xE7\xE5\xEB", "&#9739;"},      // юж. узел
    {"chiron", "\xF5\xE8\xF0\xEE\xED", "&#9911;"},                // хирон
    {"lilith", "\xEB\xE8\xEB\xE8\xF2", "&#9912;"},                // лилит
};

// Pieces of the grid and its legend. A cell's aspects follow one another, each its symbol over
// its orb; the diagonal of a natal grid shows the point's label.
inline constexpr std::string_view kGridStart = "<table id=\"aspect-grid\">\n";
inline constexpr std::string_view kGridEnd = "</table>\n";
inline constexpr std::string_view kCornerCell = "<tr><td class=\"corner\"></td>";
inline constexpr std::string_view kColumnHeaderStart = "<th title=\"";  // then the full name
inline constexpr std::string_view kColumnHeaderLabel = "\">";           // then the label
inline constexpr std::string_view kHeaderEnd = "</th>";
inline constexpr std::string_view kRowHeaderStart = "<tr><th>";  // then the full name
inline constexpr std::string_view kCellStart = "<td>";
inline constexpr std::string_view kPointCellStart = "<td class=\"point\">";  // then the label
inline constexpr std::string_view kCellEnd = "</td>";
inline constexpr std::string_view kAboveDiagonalCell = "<td class=\"above\"></td>";
inline constexpr std::string_view kGridRowEnd = "</tr>\n";
inline constexpr std::string_view kAspectStart = "<span class=\"aspect ";  // then the tone
inline constexpr std::string_view kAspectTitle = "\" title=\"";  // then the aspect as listed
inline constexpr std::string_view kAspectContent = "\">";        // then symbol and orb
inline constexpr std::string_view kOrbStart = "<span class=\"orb\">";
inline constexpr std::string_view kSpanEnd = "</span>";
inline constexpr std::string_view kDrawnSymbolStart = "<svg class=\"symbol\"><use href=\"#";
inline constexpr std::string_view kDrawnSymbolEnd = "\"/></svg>";
inline constexpr std::string_view kTextSymbolStart = "<span class=\"symbol\">";
inline constexpr std::string_view kLegendStart = "<p class=\"legend\">";
inline constexpr std::string_view kLegendEntryStart = "<span class=\"entry\"><span class=\"";
inline constexpr std::string_view kLegendSymbol = "\">";     // then the symbol
inline constexpr std::string_view kLegendName = "</span> ";  // then the aspect name
inline constexpr std::string_view kLegendEnd = "</p>\n";
inline constexpr std::string_view kGridPageEnd = "</body>\n</html>\n";

}  // namespace korvo
