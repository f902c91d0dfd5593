#include "report/table_writer.h"

#include "aspectlist/aspect_entry.h"
#include "platform/crlf_writer.h"
#include "report/page_texts.h"

namespace korvo {
namespace {

// Rows are gathered and written in pieces of about this size.
constexpr std::size_t kRowBatchSize = 1 << 16;

struct ColumnTitles {
  std::string_view orb, aspect, from, to;
};

ColumnTitles TitlesFor(LanguageFlag language) {
  if (language == LanguageFlag::russian) {
    return {kRussianOrbTitle, kRussianAspectTitle, kRussianFromTitle, kRussianToTitle};
  }
  return {kEnglishOrbTitle, kEnglishAspectTitle, kEnglishFromTitle, kEnglishToTitle};
}

void AppendTitleCell(std::string& row, std::string_view title, bool centred) {
  row.append(centred ? kCentredHeaderCell : kLeftHeaderCell)
      .append("<b>")
      .append(title)
      .append("</b>")
      .append(kHeaderCellEnd);
}

void AppendSpacerCell(std::string& row) {
  row.append(kCentredHeaderCell).append(kSpacerContent).append(kHeaderCellEnd);
}

void AppendSign(std::string& row, char sign) {
  if (IsWhitespace(sign)) {
    row.append(kWhitespaceSign);
  } else {
    row.push_back(sign);
  }
}

void AppendNameCell(std::string& row, std::string_view name) {
  row.append("<td>").append(name).append("</td>").append(kCellSpacer);
}

void AppendOrbTableRow(std::string& rows, const AspectEntry& entry) {
  rows.append("<tr><td>").append(kOrbFontStart);
  AppendSign(rows, entry.orbSign);
  rows.append("<b>").append(entry.orbText).append("</b></font></td>").append(kCellSpacer);
  AppendNameCell(rows, entry.aspect);
  AppendNameCell(rows, entry.fromPlanet);
  AppendNameCell(rows, entry.toPlanet);
  rows.append("</tr>").append(kCrLf);
}

// A row of a grouped table: the group name (left out when it repeats the previous row's), two
// more names, and the orb last.
void AppendGroupedRow(std::string& rows, const AspectEntry& entry, std::string_view groupName,
                      bool showGroupName, std::string_view secondName,
                      std::string_view thirdName) {
  rows.append("<tr><td>");
  if (showGroupName) rows.append("<b>").append(groupName).append("</b>");
  rows.append("</td>").append(kCellSpacer);
  AppendNameCell(rows, secondName);
  AppendNameCell(rows, thirdName);
  rows.append("<td>").append(kOrbFontStart);
  AppendSign(rows, entry.orbSign);
  rows.append(entry.orbText).append("</font></td>").append(kCellSpacer).append("</tr>").append(kCrLf);
}

void FlushRows(std::ostream& page, std::string& rows) {
  page.write(rows.data(), static_cast<std::streamsize>(rows.size()));
  rows.clear();
}

}  // namespace

std::string TableHeaderRow(TableLayout layout, LanguageFlag language) {
  const ColumnTitles titles = TitlesFor(language);
  struct Cell {
    std::string_view title;
    bool centred;
  };
  Cell cells[4];
  switch (layout) {
    case TableLayout::orbTable:
      cells[0] = {titles.orb, true}, cells[1] = {titles.aspect, false};
      cells[2] = {titles.from, false}, cells[3] = {titles.to, false};
      break;
    case TableLayout::planetTable:
      cells[0] = {titles.from, false}, cells[1] = {titles.aspect, false};
      cells[2] = {titles.to, false}, cells[3] = {titles.orb, true};
      break;
    case TableLayout::aspectTypeTable:
      cells[0] = {titles.aspect, false}, cells[1] = {titles.from, false};
      cells[2] = {titles.to, false}, cells[3] = {titles.orb, true};
      break;
  }
  std::string row(kRowStart);
  for (int i = 0; i < 4; ++i) {
    if (i > 0) AppendSpacerCell(row);
    AppendTitleCell(row, cells[i].title, cells[i].centred);
  }
  return row.append(kRowEnd);
}

std::ostream& WriteAspectRows(std::ostream& page, const AspectList& aspects, TableLayout layout) {
  std::string rows;
  rows.reserve(kRowBatchSize + 1024);
  std::string_view previousGroupName;  // empty at the start of every call
  for (const AspectEntry& entry : aspects) {
    switch (layout) {
      case TableLayout::orbTable:
        AppendOrbTableRow(rows, entry);
        break;
      case TableLayout::planetTable:
        AppendGroupedRow(rows, entry, entry.fromPlanet, entry.fromPlanet != previousGroupName,
                         entry.aspect, entry.toPlanet);
        previousGroupName = entry.fromPlanet;
        break;
      case TableLayout::aspectTypeTable:
        AppendGroupedRow(rows, entry, entry.aspect, entry.aspect != previousGroupName,
                         entry.fromPlanet, entry.toPlanet);
        previousGroupName = entry.aspect;
        break;
    }
    if (rows.size() >= kRowBatchSize) FlushRows(page, rows);
  }
  FlushRows(page, rows);
  return page.flush();
}

}  // namespace korvo
