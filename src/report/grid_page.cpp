#include "report/grid_page.h"

#include <algorithm>
#include <span>

#include "aspectlist/entry_order.h"
#include "platform/crlf_writer.h"
#include "report/page_escaping.h"
#include "report/page_texts.h"
#include "report/report_page.h"

namespace korvo {
namespace {

// Lower case of ASCII letters and of the Windows-1251 Cyrillic letters (Ё included).
char LowerCase(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  if ((value >= 'A' && value <= 'Z') || (value >= 0xC0 && value <= 0xDF)) {
    return static_cast<char>(value + 0x20);
  }
  return value == 0xA8 ? '\xB8' : byte;
}

bool EqualsWithoutCase(std::string_view text, std::string_view lowerCase) {
  return std::equal(text.begin(), text.end(), lowerCase.begin(), lowerCase.end(),
                    [](char first, char second) { return LowerCase(first) == second; });
}

bool IsOneOf(std::string_view text, std::span<const std::string_view> lowerCaseNames) {
  return std::any_of(lowerCaseNames.begin(), lowerCaseNames.end(),
                     [text](std::string_view name) { return EqualsWithoutCase(text, name); });
}

struct KnownType {
  std::span<const std::string_view> names;
  AspectSymbol symbol;
};

const KnownType kKnownTypes[] = {
    {kConjunctionNames, {&kConjunctionDrawing, {}, kConjunctionTone}},
    {kOppositionNames, {&kOppositionDrawing, {}, kTenseTone}},
    {kTrineNames, {&kTrineDrawing, {}, kHarmoniousTone}},
    {kSquareNames, {&kSquareDrawing, {}, kTenseTone}},
    {kSextileNames, {&kSextileDrawing, {}, kHarmoniousTone}},
    {kSemisextileNames, {&kSemisextileDrawing, {}, kOtherTone}},
    {kQuincunxNames, {&kQuincunxDrawing, {}, kOtherTone}},
    {kSemisquareNames, {&kSemisquareDrawing, {}, kTenseTone}},
    {kSesquiquadrateNames, {&kSesquiquadrateDrawing, {}, kTenseTone}},
    {kQuintileNames, {nullptr, kQuintileSymbol, kOtherTone}},
    {kBiquintileNames, {nullptr, kBiquintileSymbol, kOtherTone}},
};

void AppendSymbol(std::string& out, const AspectSymbol& symbol) {
  if (symbol.drawing) {
    out.append(kDrawnSymbolStart).append(symbol.drawing->id).append(kDrawnSymbolEnd);
    return;
  }
  out.append(kTextSymbolStart);
  AppendEscaped(out, symbol.text);
  out.append(kSpanEnd);
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

void AppendAspect(std::string& out, const AspectList& list, EntryRef ref) {
  const AspectEntry& entry = EntryAt(list, ref);
  const AspectSymbol symbol = SymbolOf(AspectNameText(list, ref));
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
  if (russian) head.append(kRussianCharset);
  head.append(russian ? kRussianGridTitle : kEnglishGridTitle).append(kGridStyle);
  head.append(kSymbolsStart);
  std::vector<const DrawnSymbol*> defined;
  for (const std::uint32_t aspect : grid.aspectTypes) {
    const DrawnSymbol* drawing = SymbolOf(TextOf(list.aspectNames, aspect)).drawing;
    if (!drawing || std::find(defined.begin(), defined.end(), drawing) != defined.end()) continue;
    defined.push_back(drawing);
    head.append(kSymbolStart).append(drawing->id).append(kSymbolShapesStart);
    head.append(drawing->shapes).append(kSymbolEnd);
  }
  WriteCrLf(page, head.append(kSymbolsEnd));
}

std::string ColumnHeaders(const AspectGrid& grid) {
  std::string row(kCornerCell);
  for (const GridPoint& point : grid.columns) {
    row.append(kColumnHeaderStart);
    AppendEscapedAttribute(row, point.name);
    row.append(kColumnHeaderLabel).append(PointLabel(point)).append(kHeaderEnd);
  }
  return row.append(kGridRowEnd);
}

// One row of the grid; `next` is the first placement not written yet, and moves past the row's.
std::string GridRow(const AspectList& list, const AspectGrid& grid, std::uint32_t row,
                    std::size_t& next) {
  std::string text(kRowHeaderStart);
  AppendEscaped(text, grid.rows[row].name);
  text.append(kHeaderEnd);
  for (std::uint32_t column = 0; column < grid.columns.size(); ++column) {
    if (grid.triangle && column > row) {
      text.append(kAboveDiagonalCell);
      continue;
    }
    if (grid.triangle && column == row) {
      text.append(kPointCellStart).append(PointLabel(grid.rows[row]));
    } else {
      text.append(kCellStart);
    }
    for (; next < grid.placements.size() && grid.placements[next].row == row &&
           grid.placements[next].column == column;
         ++next) {
      AppendAspect(text, list, grid.placements[next].entry);
    }
    text.append(kCellEnd);
  }
  return text.append(kGridRowEnd);
}

std::string Legend(const AspectList& list, const AspectGrid& grid) {
  std::string legend(kLegendStart);
  for (const std::uint32_t aspect : grid.aspectTypes) {
    const std::string_view name = TextOf(list.aspectNames, aspect);
    const AspectSymbol symbol = SymbolOf(name);
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

AspectSymbol SymbolOf(std::string_view aspectName) {
  for (const KnownType& type : kKnownTypes) {
    if (IsOneOf(aspectName, type.names)) return type.symbol;
  }
  return {nullptr, aspectName.substr(0, kShortNameLength), kOtherTone};
}

std::string PointLabel(const GridPoint& point) {
  if (point.isHouse) return point.name.substr(0, point.name.find(' '));
  for (const PointGlyph& known : kPointGlyphs) {
    if (EqualsWithoutCase(point.name, known.englishName) ||
        EqualsWithoutCase(point.name, known.russianName)) {
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
  WriteHeaderBlock(page, headerLines);
  WriteCrLf(page, kGridStart);
  WriteCrLf(page, ColumnHeaders(grid));
  std::size_t next = 0;
  for (std::uint32_t row = 0; row < grid.rows.size(); ++row) {
    WriteCrLf(page, GridRow(list, grid, row, next));
  }
  WriteCrLf(page, kGridEnd);
  WriteCrLf(page, Legend(list, grid));
  WriteCrLf(page, kGridPageEnd);
}

}  // namespace korvo
