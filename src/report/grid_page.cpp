#include "report/grid_page.h"

#include <algorithm>
#include <span>

#include "aspectlist/entry_order.h"
#include "platform/crlf_writer.h"
#include "platform/text_encoding.h"
#include "report/page_escaping.h"
#include "report/page_texts.h"
#include "report/report_page.h"

namespace korvo {
namespace {

// Lower case in the run's code page, of the letters the known names can meet: ASCII, and in
// Windows-1251 the Cyrillic capitals (Ё included). No other Windows-1252 letter lowers to ASCII,
// so an English run folds nothing more.
char LowerCase(char byte, LanguageFlag language) {
  const auto value = static_cast<unsigned char>(byte);
  const bool cyrillicCapital = language == LanguageFlag::russian && value >= 0xC0 && value <= 0xDF;
  if ((value >= 'A' && value <= 'Z') || cyrillicCapital) return static_cast<char>(value + 0x20);
  return language == LanguageFlag::russian && value == 0xA8 ? '\xB8' : byte;
}

// Whether `text` is one of `lowerCaseNames`; an empty place of the list names nothing.
bool IsOneOf(std::string_view text, std::span<const std::string_view> lowerCaseNames,
             LanguageFlag language) {
  return std::any_of(lowerCaseNames.begin(), lowerCaseNames.end(), [&](std::string_view name) {
    return !name.empty() && std::equal(text.begin(), text.end(), name.begin(), name.end(),
                                       [language](char first, char second) {
                                         return LowerCase(first, language) == second;
                                       });
  });
}

// Whether `text` is known by one of its English names, or in a Russian run its Russian ones.
bool IsKnownAs(std::string_view text, std::span<const std::string_view> englishNames,
               std::span<const std::string_view> russianNames, LanguageFlag language) {
  return IsOneOf(text, englishNames, language) ||
         (language == LanguageFlag::russian && IsOneOf(text, russianNames, language));
}

void AppendSymbol(std::string& out, const AspectSymbol& symbol) {
  if (!symbol.drawingId.empty()) {
    out.append(kDrawnSymbolStart).append(symbol.drawingId).append(kDrawnSymbolEnd);
    return;
  }
  out.append(kTextSymbolStart);
  AppendEscaped(out, symbol.text);
  out.append(kSpanEnd);
}

// Writes one piece of the page, which holds the run's code page until here, in UTF-8.
void WriteInUtf8(std::ostream& page, std::string_view text, LanguageFlag language) {
  WriteCrLf(page, CodePageToUtf8(text, CodePageOf(language)));
}

// The aspect as the list gives it: "Trine Sun-Moon +2°15'30"", the sign only when there is one.
std::string ListedAspect(const AspectList& list, EntryRef ref) {
  const AspectEntry& entry = EntryAt(list, ref);
  std::string text(AspectNameText(list, ref));
  text.append(" ").append(FromPlanetText(list, ref)).append("-").append(ToPlanetText(list, ref));
  text.append(" ");
  if (!IsWhitespace(entry.orbSign)) text.push_back(entry.orbSign);
  return text.append(OrbTextOf(list, ref));
}

// An aspect whose orb is under one degree is tight, and drawn bold.
constexpr std::int32_t kTightOrbSeconds = 3600;

bool IsTight(const AspectList& list, EntryRef ref) {
  return EntryAt(list, ref).orbSeconds < kTightOrbSeconds;
}

void AppendAspect(std::string& out, const AspectList& list, EntryRef ref, LanguageFlag language) {
  const AspectEntry& entry = EntryAt(list, ref);
  const AspectSymbol symbol = SymbolOf(AspectNameText(list, ref), language);
  out.append(kAspectStart).append(symbol.tone);
  if (IsTight(list, ref)) out.append(kTightClass);
  std::string title;
  AppendEscapedAttribute(title, ListedAspect(list, ref));
  out.append(kAspectAttributes).append(title).append(kAspectLabel).append(title);
  out.append(kAspectContent);
  AppendSymbol(out, symbol);
  out.append(kOrbStart);
  if (!IsWhitespace(entry.orbSign)) AppendEscaped(out, std::string_view(&entry.orbSign, 1));
  AppendEscaped(out, OrbToMinutes(OrbTextOf(list, ref)));
  out.append(kSpanEnd).append(kSpanEnd);
}

// A number of hundredths as a decimal with two places.
std::string Hundredths(long value) {
  const std::string places = std::to_string(100 + value % 100);
  return std::to_string(value / 100).append(".").append(places.substr(1));
}

// The printed grid's size: its font shrinks from 8 pt as far as its columns need to fit the
// width of the page, and its table takes that width, so that every column is on the paper.
std::string PrintScaleRule(std::size_t columns) {
  const long deciEms =
      kRowNamesDeciEms + kColumnDeciEms * static_cast<long>(columns) + kTotalsDeciEms;
  const long font =
      std::min<long>(kLargestPrintFontCentiPoints, kPrintWidthCentiPoints * 10L / deciEms);
  return std::string(kPrintScaleStart)
      .append(Hundredths(font))
      .append(kPrintScaleWidth)
      .append(Hundredths(deciEms * font / 10))
      .append(kPrintScaleEnd);
}

std::string GridStyle(std::size_t columns) {
  std::string style(kGridStyleStart);
  for (const ToneColour& tone : kToneColours) {
    style.append(kToneRuleStart).append(tone.tone).append(kToneRuleColour).append(tone.colour);
    style.append(kToneRuleEnd);
  }
  return style.append(PrintScaleRule(columns)).append(kGridStyleEnd);
}

// Defines a drawn symbol or glyph once on the page, the first time it is asked for.
void DefineSymbol(std::string& out, std::vector<std::string_view>& defined, std::string_view id,
                  std::string_view shapes) {
  if (id.empty() || std::find(defined.begin(), defined.end(), id) != defined.end()) return;
  defined.push_back(id);
  out.append(kSymbolStart).append(id).append(kSymbolShapesStart).append(shapes).append(kSymbolEnd);
}

// The drawn symbols the grid shows, in the order of its aspect types, then the glyphs of its
// points, columns first.
std::string SymbolDefinitions(const AspectList& list, const AspectGrid& grid,
                              LanguageFlag language) {
  std::string symbols(kSymbolsStart);
  std::vector<std::string_view> defined;
  for (const std::uint32_t aspect : grid.aspectTypes) {
    const AspectSymbol symbol = SymbolOf(TextOf(list.aspectNames, aspect), language);
    DefineSymbol(symbols, defined, symbol.drawingId, symbol.shapes);
  }
  for (const auto* axis : {&grid.columns, &grid.rows}) {
    for (const GridPoint& point : *axis) {
      const PointGlyph* glyph = GlyphOf(point, language);
      if (glyph) DefineSymbol(symbols, defined, glyph->id, glyph->shapes);
    }
  }
  return symbols.append(kSymbolsEnd);
}

void WriteGridHead(std::ostream& page, const AspectList& list, const AspectGrid& grid,
                   LanguageFlag language) {
  const bool russian = language == LanguageFlag::russian;
  std::string head(kGridPageStart);
  head.append(russian ? kRussianLanguage : kEnglishLanguage).append(kGridHeadStart);
  head.append(russian ? kRussianGridTitle : kEnglishGridTitle).append(kGridViewport);
  head.append(GridStyle(grid.columns.size())).append(SymbolDefinitions(list, grid, language));
  WriteInUtf8(page, head, language);
}

// The header row: the corner (in a transit grid, what the columns and the rows are), a header
// for each column, and one over the totals.
std::string ColumnHeaders(const AspectGrid& grid, LanguageFlag language) {
  const bool russian = language == LanguageFlag::russian;
  std::string row(kCornerCellStart);
  if (!grid.triangle) row.append(russian ? kRussianTransitCaptions : kEnglishTransitCaptions);
  row.append(kCornerCellEnd);
  for (const GridPoint& point : grid.columns) {
    row.append(kColumnHeaderStart);
    AppendEscapedAttribute(row, point.name);
    row.append(kColumnHeaderLabel).append(PointLabel(point, language)).append(kHeaderEnd);
  }
  return row.append(russian ? kRussianTotalHeader : kEnglishTotalHeader).append(kGridRowEnd);
}

// One row of the grid; `next` is the first placement not written yet, and moves past the row's.
std::string GridRow(const AspectList& list, const AspectGrid& grid, std::uint32_t row,
                    std::size_t& next, LanguageFlag language) {
  std::string text(kRowHeaderStart);
  AppendEscaped(text, grid.rows[row].name);
  text.append(kHeaderEnd);
  for (std::uint32_t column = 0; column < grid.columns.size(); ++column) {
    if (grid.triangle && column > row) {
      text.append(kAboveDiagonalCell);
      continue;
    }
    if (grid.triangle && column == row) {
      text.append(kPointCellStart).append(PointLabel(grid.rows[row], language));
    } else {
      text.append(kCellStart);
    }
    for (; next < grid.placements.size() && grid.placements[next].row == row &&
           grid.placements[next].column == column;
         ++next) {
      AppendAspect(text, list, grid.placements[next].entry, language);
    }
    text.append(kCellEnd);
  }
  text.append(kTotalCellStart).append(std::to_string(grid.rowTotals[row])).append(kCellEnd);
  return text.append(kGridRowEnd);
}

// Each aspect type shown, with its symbol and its number of aspects; then, when a tight aspect
// is shown, what bold means.
std::string Legend(const AspectList& list, const AspectGrid& grid, LanguageFlag language) {
  std::string legend(kLegendStart);
  for (std::size_t type = 0; type < grid.aspectTypes.size(); ++type) {
    const std::string_view name = TextOf(list.aspectNames, grid.aspectTypes[type]);
    const AspectSymbol symbol = SymbolOf(name, language);
    legend.append(kLegendEntryStart).append(symbol.tone).append(kLegendSymbol);
    AppendSymbol(legend, symbol);
    legend.append(kLegendName);
    AppendEscaped(legend, name);
    legend.append(kLegendCountStart).append(std::to_string(grid.aspectTypeCounts[type]));
    legend.append(kLegendCountEnd).append(kSpanEnd);
  }
  const bool anyTight = std::any_of(
      grid.placements.begin(), grid.placements.end(),
      [&list](const GridPlacement& placement) { return IsTight(list, placement.entry); });
  if (anyTight) {
    legend.append(language == LanguageFlag::russian ? kRussianTightLegend : kEnglishTightLegend);
  }
  return legend.append(kLegendEnd);
}

}  // namespace

std::string GridPageName(std::string_view pageName) {
  if (pageName.ends_with(kPageExtension)) pageName.remove_suffix(kPageExtension.size());
  return std::string(pageName).append(kGridPageSuffix).append(kPageExtension);
}

std::vector<std::string> GridPageTitles() {
  return {std::string(kEnglishGridTitle), std::string(kRussianGridTitle),
          CodePageToUtf8(kRussianGridTitle, CodePage::windows1251)};
}

AspectSymbol SymbolOf(std::string_view aspectName, LanguageFlag language) {
  for (const KnownAspectType& type : kKnownAspectTypes) {
    if (IsKnownAs(aspectName, type.englishNames, type.russianNames, language)) return type.symbol;
  }
  return {{}, {}, aspectName.substr(0, kShortNameLength), kOtherTone};
}

const PointGlyph* GlyphOf(const GridPoint& point, LanguageFlag language) {
  if (point.isHouse) return nullptr;
  for (const PointGlyph& known : kPointGlyphs) {
    if (IsKnownAs(point.name, {&known.englishName, 1}, {&known.russianName, 1}, language)) {
      return &known;
    }
  }
  return nullptr;
}

std::string PointLabel(const GridPoint& point, LanguageFlag language) {
  if (point.isHouse) return point.name.substr(0, point.name.find(' '));
  if (const PointGlyph* glyph = GlyphOf(point, language)) {
    return std::string(kGlyphStart).append(glyph->id).append(kDrawnSymbolEnd);
  }
  std::string label;
  AppendEscaped(label, std::string_view(point.name).substr(0, kShortNameLength));
  return label;
}

std::string_view OrbToMinutes(std::string_view orbText) {
  const std::size_t degree = orbText.find(kDegreeSign);
  if (degree == std::string_view::npos) return orbText;
  std::size_t end = degree + 1;
  std::size_t minutesEnd = end;
  while (minutesEnd < orbText.size() && IsDigit(orbText[minutesEnd])) ++minutesEnd;
  if (minutesEnd > end && minutesEnd < orbText.size() && orbText[minutesEnd] == '\'') {
    end = minutesEnd + 1;
  }
  return orbText.substr(0, end);
}

void WriteGridPage(std::ostream& page, const AspectList& list, const AspectGrid& grid,
                   const std::vector<std::string>& headerLines, LanguageFlag language) {
  WriteGridHead(page, list, grid, language);
  WriteInUtf8(page, HeaderBlock(headerLines), language);
  WriteCrLf(page, kGridStart);
  WriteInUtf8(page, ColumnHeaders(grid, language), language);
  WriteCrLf(page, kGridHeadEnd);
  std::size_t next = 0;
  for (std::uint32_t row = 0; row < grid.rows.size(); ++row) {
    WriteInUtf8(page, GridRow(list, grid, row, next, language), language);
  }
  WriteCrLf(page, kGridEnd);
  WriteInUtf8(page, Legend(list, grid, language), language);
  WriteCrLf(page, kGridPageEnd);
}

}  // namespace korvo
