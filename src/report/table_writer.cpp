#include "report/table_writer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "aspectlist/aspect_entry.h"
#include "platform/prefetch.h"
#include "report/page_texts.h"

namespace korvo {
namespace {

// Rows are gathered and written in pieces of at most this size.
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
      .append(kBoldStart)
      .append(title)
      .append(kBoldEnd)
      .append(kHeaderCellEnd);
}

void AppendSpacerCell(std::string& row) {
  row.append(kCentredHeaderCell).append(kSpacerContent).append(kHeaderCellEnd);
}

// The rows of one call on their way to the page, written out whenever the batch is full.
struct RowBatch {
  std::ostream& page;
  std::vector<char> bytes;
  std::size_t used = 0;
};

// The fixed texts of a row, its sign written at its longest, and the fixed-size moves that copy
// its four texts: the most a row takes beyond the texts' own lengths.
constexpr std::size_t kOrbRowFixedBytes = kOrbRowStart.size() + kWhitespaceSign.size() +
                                          kBoldStart.size() + kOrbRowAfterOrb.size() +
                                          2 * kBetweenNames.size() + kLastNameEnd.size();
constexpr std::size_t kGroupedRowFixedBytes =
    kGroupedRowStart.size() + kBoldStart.size() + kBoldEnd.size() + 2 * kBetweenNames.size() +
    kGroupedRowOrbCell.size() + kWhitespaceSign.size() + kGroupedRowEnd.size();
constexpr std::size_t kFixedRowBytesBound =
    std::max(kOrbRowFixedBytes, kGroupedRowFixedBytes) + 4 * kTextReadSlack;

void FlushRows(RowBatch& batch) {
  batch.page.write(batch.bytes.data(), static_cast<std::streamsize>(batch.used));
  batch.used = 0;
}

// Where a row of at most `rowBound` bytes can be written: room is made once per row, so the
// pieces of the row are plain copies.
char* RoomForRow(RowBatch& batch, std::size_t rowBound) {
  if (batch.bytes.size() - batch.used < rowBound) {
    FlushRows(batch);
    if (batch.bytes.size() < rowBound) batch.bytes.resize(rowBound);
  }
  return batch.bytes.data() + batch.used;
}

void RowWritten(RowBatch& batch, const char* rowEnd) {
  batch.used = static_cast<std::size_t>(rowEnd - batch.bytes.data());
}

inline char* Put(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

// Copies a text of a list's tables, whose first kTextReadSlack bytes may always be read: a short
// one in one fixed-size move, which the row's room allows for.
inline char* PutListText(char* out, std::string_view text) {
  if (text.size() <= kTextReadSlack) {
    std::memcpy(out, text.data(), kTextReadSlack);
    return out + text.size();
  }
  return Put(out, text);
}

// The row's room allows for the longest sign text.
static_assert(kEscapedAmpersand.size() <= kWhitespaceSign.size() &&
              kEscapedLessThan.size() <= kWhitespaceSign.size() &&
              kEscapedGreaterThan.size() <= kWhitespaceSign.size());

inline char* PutSign(char* out, char sign) {
  if (IsWhitespace(sign)) return Put(out, kWhitespaceSign);
  if (const std::string_view entity = EntityOf(sign); !entity.empty()) return Put(out, entity);
  *out = sign;
  return out + 1;
}

// The tables a row takes its texts from: the escaped copies where there are any.
struct ShownTables {
  const NumberedTexts& aspectNames;
  const NumberedTexts& planetNames;
  const NumberedTexts& orbTexts;
};

ShownTables ShownTablesOf(const AspectList& list, const PageTexts& pageTexts) {
  return {ShownTable(pageTexts.aspectNames, list.aspectNames),
          ShownTable(pageTexts.planetNames, list.planetNames),
          ShownTable(pageTexts.orbTexts, list.orbTexts)};
}

// The texts of one row, in the order the entry stands in (a mirrored entry's planets exchanged).
struct RowTexts {
  std::string_view aspect, fromPlanet, toPlanet, orbText;
  char orbSign;
};

RowTexts TextsOf(const AspectList& list, const ShownTables& shown, EntryRef ref) {
  const AspectEntry& entry = EntryAt(list, ref);
  return {TextOf(shown.aspectNames, entry.aspect),
          TextOf(shown.planetNames, FromPlanetOf(list, ref)),
          TextOf(shown.planetNames, ToPlanetOf(list, ref)), TextOf(shown.orbTexts, entry.orbText),
          entry.orbSign};
}

void AppendOrbTableRow(RowBatch& batch, const RowTexts& texts) {
  char* out = RoomForRow(batch, kFixedRowBytesBound + texts.orbText.size() + texts.aspect.size() +
                                    texts.fromPlanet.size() + texts.toPlanet.size());
  out = Put(out, kOrbRowStart);
  out = PutSign(out, texts.orbSign);
  out = Put(out, kBoldStart);
  out = PutListText(out, texts.orbText);
  out = Put(out, kOrbRowAfterOrb);
  out = PutListText(out, texts.aspect);
  out = Put(out, kBetweenNames);
  out = PutListText(out, texts.fromPlanet);
  out = Put(out, kBetweenNames);
  out = PutListText(out, texts.toPlanet);
  RowWritten(batch, Put(out, kLastNameEnd));
}

// A row of a grouped table: the group name (left out when it repeats the previous row's), two
// more names, and the orb last.
void AppendGroupedRow(RowBatch& batch, const RowTexts& texts, std::string_view groupName,
                      bool showGroupName, std::string_view secondName, std::string_view thirdName) {
  char* out = RoomForRow(batch, kFixedRowBytesBound + groupName.size() + secondName.size() +
                                    thirdName.size() + texts.orbText.size());
  out = Put(out, kGroupedRowStart);
  if (showGroupName) {
    out = Put(out, kBoldStart);
    out = PutListText(out, groupName);
    out = Put(out, kBoldEnd);
  }
  out = Put(out, kBetweenNames);
  out = PutListText(out, secondName);
  out = Put(out, kBetweenNames);
  out = PutListText(out, thirdName);
  out = Put(out, kGroupedRowOrbCell);
  out = PutSign(out, texts.orbSign);
  out = PutListText(out, texts.orbText);
  RowWritten(batch, Put(out, kGroupedRowEnd));
}

}  // namespace

int TableNumber(TableLayout layout) {
  return static_cast<int>(layout);
}

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

std::ostream& WriteAspectRows(std::ostream& page, const AspectList& list,
                              const PageTexts& pageTexts, const EntryOrder& order,
                              TableLayout layout) {
  RowBatch batch{page, std::vector<char>(kRowBatchSize)};
  const ShownTables shown = ShownTablesOf(list, pageTexts);
  // Group names are compared by number: equal numbers are equal bytes. Each table starts as if
  // the previous row's group name were empty.
  const NumberedTexts& groupNames =
      layout == TableLayout::planetTable ? list.planetNames : list.aspectNames;
  std::uint32_t previousGroupName = FindText(groupNames, "");
  for (std::size_t place = 0; place < order.size(); ++place) {
    if (place + kPrefetchDistance < order.size()) {
      PrefetchForReading(&EntryAt(list, order[place + kPrefetchDistance]));
    }
    const EntryRef ref = order[place];
    const RowTexts texts = TextsOf(list, shown, ref);
    switch (layout) {
      case TableLayout::orbTable:
        AppendOrbTableRow(batch, texts);
        break;
      case TableLayout::planetTable: {
        const std::uint32_t groupName = FromPlanetOf(list, ref);
        AppendGroupedRow(batch, texts, texts.fromPlanet, groupName != previousGroupName,
                         texts.aspect, texts.toPlanet);
        previousGroupName = groupName;
        break;
      }
      case TableLayout::aspectTypeTable: {
        const std::uint32_t groupName = EntryAt(list, ref).aspect;
        AppendGroupedRow(batch, texts, texts.aspect, groupName != previousGroupName,
                         texts.fromPlanet, texts.toPlanet);
        previousGroupName = groupName;
        break;
      }
    }
  }
  FlushRows(batch);
  return page.flush();
}

}  // namespace korvo
