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

void AppendAspect(std::string& out, const AspectList& list, EntryRef ref, LanguageFlag language) {
  const AspectEntry& entry = EntryAt(list, ref);
  const AspectSymbol symbol = SymbolOf(AspectNameText(list, ref), language);
  out.append(kAspectStart).append(symbol.tone).append(kAspectTitle);
  AppendEscapedAttribute(out, ListedAspect(list, ref));
  out.append(kAspectContent);
  AppendSymbol(out, symbol);
  out.append(kOrbStart);
  if (!IsWhitespace(entry.orbSign)) AppendEscaped(out, std::string_view(&entry.orbSign, 1));
  AppendEscaped(out, OrbToMinutes(OrbTextOf(list, ref)));
  out.append(kSpanEnd).append(kSpanEnd);
}

void WriteGridHead(std::ostream& page, const AspectList& list, const AspectGrid& grid,
                   LanguageFlag language) {
  const bool russian = language == LanguageFlag::russian;
  std::string head(kGridPageStart);
  head.append(russian ? kRussianLanguage : kEnglishLanguage).append(kGridHeadStart);
  head.append(russian ? kRussianGridTitle : kEnglishGridTitle).append(kGridTitleEnd);
  head.append(kGridStyle).append(kSymbolsStart);
  std::vector<std::string_view> defined;
  for (const std::uint32_t aspect : grid.aspectTypes) {
    const AspectSymbol symbol = SymbolOf(TextOf(list.aspectNames, aspect), language);
    if (symbol.drawingId.empty() ||
        std::find(defined.begin(), defined.end(), symbol.drawingId) != defined.end()) {
      continue;
    }
    defined.push_back(symbol.drawingId);
    head.append(kSymbolStart).append(symbol.drawingId).append(kSymbolShapesStart);
    head.append(symbol.shapes).append(kSymbolEnd);
  }
  WriteInUtf8(page, head.append(kSymbolsEnd), language);
}

std::string ColumnHeaders(const AspectGrid& grid, LanguageFlag language) {
  std::string row(kCornerCell);
  for (const GridPoint& point : grid.columns) {
    row.append(kColumnHeaderStart);
    AppendEscapedAttribute(row, point.name);
    row.append(kColumnHeaderLabel).append(PointLabel(point, language)).append(kHeaderEnd);
  }
  return row.append(kGridRowEnd);
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
  return text.append(kGridRowEnd);
}

std::string Legend(const AspectList& list, const AspectGrid& grid, LanguageFlag language) {
  std::string legend(kLegendStart);
  for (const std::uint32_t aspect : grid.aspectTypes) {
    const std::string_view name = TextOf(list.aspectNames, aspect);
    const AspectSymbol symbol = SymbolOf(name, language);
    legend.append(kLegendEntryStart).append(symbol.tone).append(kLegendSymbol);
    AppendSymbol(legend, symbol);
    legend.append(kLegendName);
    AppendEscaped(legend, name);
    legend.append(kSpanEnd);
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

std::string PointLabel(const GridPoint& point, LanguageFlag language) {
  if (point.isHouse) return point.name.substr(0, point.name.find(' '));
  for (const PointGlyph& known : kPointGlyphs) {
    if (IsKnownAs(point.name, {&known.englishName, 1}, {&known.russianName, 1}, language)) {
      return std::string(known.glyph);
    }
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
  std::size_t next = 0;
  for (std::uint32_t row = 0; row < grid.rows.size(); ++row) {
    WriteInUtf8(page, GridRow(list, grid, row, next, language), language);
  }
  WriteCrLf(page, kGridEnd);
  WriteInUtf8(page, Legend(list, grid, language), language);
  WriteCrLf(page, kGridPageEnd);
}

}  // namespace korvo
