#include "report/table_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/crlf_writer.h"
#include "support/test_support.h"

namespace korvo {
namespace {

#define DEG "\xB0"

// A page stream that counts its flushes.
class CountingBuffer : public std::stringbuf {
 public:
  int flushes = 0;

 protected:
  int sync() override {
    ++flushes;
    return std::stringbuf::sync();
  }
};

AspectFields Entry(std::string_view aspect, std::string_view from, std::string_view to,
                   std::string_view orbText, char sign) {
  AspectFields entry;
  entry.aspect = aspect;
  entry.fromPlanet = from;
  entry.toPlanet = to;
  entry.orbText = orbText;
  entry.orbSign = sign;
  entry.orbSeconds = 8100;
  return entry;
}

// Entries as the reader would add them, written in the order they were added.
using Entries = std::vector<AspectFields>;

std::ostream& WriteRows(std::ostream& page, const Entries& entries, TableLayout layout) {
  AspectList list;
  for (const AspectFields& entry : entries) AddEntry(list, entry);
  return WriteAspectRows(page, list, EscapeForPage(list), ReadingOrder(list), layout);
}

std::string Rows(const Entries& entries, TableLayout layout) {
  std::ostringstream page;
  WriteRows(page, entries, layout);
  return page.str();
}

const AspectFields kTrine = Entry("Trine", "Sun", "Moon", "2" DEG "15'", '-');

TEST(WriteAspectRows, TheFourExampleRows) {
  EXPECT_EQ(Rows({kTrine}, TableLayout::orbTable),
            "<tr><td><font face =\"Courier New\">-<b>2" DEG
            "15'</b></font></td>"
            "<td>&nbsp;&nbsp;</td><td>Trine</td><td>&nbsp;&nbsp;</td><td>Sun</td>"
            "<td>&nbsp;&nbsp;</td><td>Moon</td><td>&nbsp;&nbsp;</td></tr>\r\n");
  const std::string planetFirstRow =
      "<tr><td><b>Sun</b></td><td>&nbsp;&nbsp;</td><td>Trine</td><td>&nbsp;&nbsp;</td>"
      "<td>Moon</td><td>&nbsp;&nbsp;</td><td><font face =\"Courier New\">-2" DEG
      "15'</font></td>"
      "<td>&nbsp;&nbsp;</td></tr>\r\n";
  EXPECT_EQ(Rows({kTrine}, TableLayout::planetTable), planetFirstRow);
  AspectFields unsigned_ = kTrine;
  unsigned_.orbSign = ' ';
  EXPECT_EQ(Rows({kTrine, unsigned_}, TableLayout::planetTable),
            planetFirstRow +
                "<tr><td></td><td>&nbsp;&nbsp;</td><td>Trine</td><td>&nbsp;&nbsp;</td>"
                "<td>Moon</td><td>&nbsp;&nbsp;</td><td><font face =\"Courier New\">&nbsp;2" DEG
                "15'</font></td><td>&nbsp;&nbsp;</td></tr>\r\n");
  EXPECT_EQ(Rows({kTrine}, TableLayout::aspectTypeTable),
            "<tr><td><b>Trine</b></td><td>&nbsp;&nbsp;</td><td>Sun</td><td>&nbsp;&nbsp;</td>"
            "<td>Moon</td><td>&nbsp;&nbsp;</td><td><font face =\"Courier New\">-2" DEG
            "15'</font></td><td>&nbsp;&nbsp;</td></tr>\r\n");
}

TEST(WriteAspectRows, OnlyTheSixWhitespaceBytesBecomeASpaceAndMarkupIsEscaped) {
  for (int byte = 1; byte < 256; ++byte) {
    const char sign = static_cast<char>(byte);
    const bool whitespace = byte == ' ' || (byte >= '\t' && byte <= '\r');
    std::string shown = whitespace ? "&nbsp;" : std::string(1, sign);
    if (sign == '&') shown = "&amp;";
    if (sign == '<') shown = "&lt;";
    if (sign == '>') shown = "&gt;";
    AspectFields entry = kTrine;
    entry.orbSign = sign;
    const std::string orbTable = Rows({entry}, TableLayout::orbTable);
    const std::string planetTable = Rows({entry}, TableLayout::planetTable);
    const std::string typeTable = Rows({entry}, TableLayout::aspectTypeTable);
    const std::string font = "<font face =\"Courier New\">";
    EXPECT_NE(orbTable.find(font + shown + "<b>2" DEG "15'</b>"), std::string::npos) << byte;
    EXPECT_NE(planetTable.find(font + shown + "2" DEG "15'</font>"), std::string::npos) << byte;
    EXPECT_NE(typeTable.find(font + shown + "2" DEG "15'</font>"), std::string::npos) << byte;
  }
}

// The first cell of each row that a grouped layout writes.
std::vector<std::string> GroupCells(const std::string& rows) {
  std::vector<std::string> cells;
  for (std::size_t start = 0; start < rows.size();) {
    const std::size_t end = rows.find("</td>", start);
    cells.push_back(rows.substr(start + 8, end - start - 8));  // after "<tr><td>"
    start = rows.find("</tr>\r\n", start) + 7;
  }
  return cells;
}

TEST(WriteAspectRows, AGroupNameIsShownWhenItChanges) {
  const std::vector<std::string_view> names = {"Sun",  "Sun",  "Moon", "Sun", "sun",
                                               "Sun ", "Sun ", "",     "",    "Sun"};
  const std::vector<std::string> shown = {
      "<b>Sun</b>",  "", "<b>Moon</b>", "<b>Sun</b>", "<b>sun</b>",
      "<b>Sun </b>", "", "<b></b>",     "",           "<b>Sun</b>"};
  Entries byPlanet;
  Entries byType;
  for (const std::string_view name : names) {
    byPlanet.push_back(Entry("Trine", name, "Moon", "1" DEG, ' '));
    byType.push_back(Entry(name, "Mars", "Moon", "1" DEG, ' '));
  }
  EXPECT_EQ(GroupCells(Rows(byPlanet, TableLayout::planetTable)), shown);
  EXPECT_EQ(GroupCells(Rows(byType, TableLayout::aspectTypeTable)), shown);
  // The other layout's group name plays no part.
  Entries mixed = {Entry("Trine", "Sun", "Moon", "1" DEG, ' '),
                   Entry("Trine", "Moon", "Moon", "1" DEG, ' ')};
  EXPECT_EQ(GroupCells(Rows(mixed, TableLayout::aspectTypeTable)),
            (std::vector<std::string>{"<b>Trine</b>", ""}));
  EXPECT_EQ(GroupCells(Rows(mixed, TableLayout::planetTable)),
            (std::vector<std::string>{"<b>Sun</b>", "<b>Moon</b>"}));
}

TEST(WriteAspectRows, EachCallStartsWithNoPreviousGroupName) {
  std::ostringstream page;
  const Entries sun = {Entry("Trine", "Sun", "Moon", "1" DEG, ' ')};
  WriteRows(page, sun, TableLayout::planetTable);
  WriteRows(page, sun, TableLayout::planetTable);
  WriteRows(page, sun, TableLayout::aspectTypeTable);
  WriteRows(page, sun, TableLayout::aspectTypeTable);
  EXPECT_EQ(GroupCells(page.str()),
            (std::vector<std::string>{"<b>Sun</b>", "<b>Sun</b>", "<b>Trine</b>", "<b>Trine</b>"}));
  // A first row whose group name is empty has an empty first cell.
  const Entries unnamed = {Entry("", "", "Moon", "1" DEG, ' ')};
  EXPECT_EQ(GroupCells(Rows(unnamed, TableLayout::planetTable)), std::vector<std::string>{""});
  EXPECT_EQ(GroupCells(Rows(unnamed, TableLayout::aspectTypeTable)), std::vector<std::string>{""});
}

TEST(WriteAspectRows, AMirroredEntryShowsItsPlanetsExchanged) {
  AspectList list;
  AddEntry(list, Entry("Trine", "Sun", "Moon", "1" DEG, '+'));
  AddEntry(list, Entry("Square", "Moon", "Mars", "2" DEG, ' '));
  const EntryOrder order = {0, 0 | kMirroredFlag, 1 | kMirroredFlag, 1};
  std::ostringstream orbTable;
  WriteAspectRows(orbTable, list, {}, order, TableLayout::orbTable);
  EXPECT_EQ(orbTable.str(), Rows({Entry("Trine", "Sun", "Moon", "1" DEG, '+'),
                                  Entry("Trine", "Moon", "Sun", "1" DEG, '+'),
                                  Entry("Square", "Mars", "Moon", "2" DEG, ' '),
                                  Entry("Square", "Moon", "Mars", "2" DEG, ' ')},
                                 TableLayout::orbTable));
  // The group name of a mirrored entry is its to-planet: "Moon" twice in a row shows once.
  std::ostringstream planetTable;
  WriteAspectRows(planetTable, list, {}, order, TableLayout::planetTable);
  EXPECT_EQ(GroupCells(planetTable.str()),
            (std::vector<std::string>{"<b>Sun</b>", "<b>Moon</b>", "<b>Mars</b>", "<b>Moon</b>"}));
  std::ostringstream twoMoons;
  WriteAspectRows(twoMoons, list, {}, {0 | kMirroredFlag, 1}, TableLayout::planetTable);
  EXPECT_EQ(GroupCells(twoMoons.str()), (std::vector<std::string>{"<b>Moon</b>", ""}));
}

TEST(WriteAspectRows, TextsOfEveryLengthAreCopiedWhole) {
  // Texts up to 32 bytes are copied in one fixed-size move, longer ones byte for byte.
  for (const std::size_t length : {1u, 31u, 32u, 33u, 64u, 127u}) {
    const std::string aspect(length, 'a');
    const std::string from(length, 'f');
    const std::string to = std::string(length, 't');
    const std::string orb = std::string(length, '1') + DEG;
    const Entries entries = {Entry(aspect, from, to, orb, '+'), Entry("T", "S", "M", "1" DEG, ' ')};
    EXPECT_EQ(Rows(entries, TableLayout::orbTable),
              "<tr><td><font face =\"Courier New\">+<b>" + orb +
                  "</b></font></td><td>&nbsp;&nbsp;</td><td>" + aspect +
                  "</td><td>&nbsp;&nbsp;</td><td>" + from + "</td><td>&nbsp;&nbsp;</td><td>" + to +
                  "</td><td>&nbsp;&nbsp;</td></tr>\r\n"
                  "<tr><td><font face =\"Courier New\">&nbsp;<b>1" DEG
                  "</b></font></td><td>&nbsp;&nbsp;</td><td>T</td><td>&nbsp;&nbsp;</td><td>S</td>"
                  "<td>&nbsp;&nbsp;</td><td>M</td><td>&nbsp;&nbsp;</td></tr>\r\n")
        << length;
    EXPECT_EQ(Rows(entries, TableLayout::planetTable),
              "<tr><td><b>" + from + "</b></td><td>&nbsp;&nbsp;</td><td>" + aspect +
                  "</td><td>&nbsp;&nbsp;</td><td>" + to +
                  "</td><td>&nbsp;&nbsp;</td><td><font face =\"Courier New\">+" + orb +
                  "</font></td><td>&nbsp;&nbsp;</td></tr>\r\n"
                  "<tr><td><b>S</b></td><td>&nbsp;&nbsp;</td><td>T</td><td>&nbsp;&nbsp;</td>"
                  "<td>M</td><td>&nbsp;&nbsp;</td><td><font face =\"Courier New\">&nbsp;1" DEG
                  "</font></td><td>&nbsp;&nbsp;</td></tr>\r\n")
        << length;
  }
}

TEST(WriteAspectRows, TheOrbTableShowsEveryName) {
  const std::string row =
      "<tr><td><font face =\"Courier New\">&nbsp;<b>1" DEG
      "</b></font></td><td>&nbsp;&nbsp;</td>"
      "<td>Trine</td><td>&nbsp;&nbsp;</td><td>Sun</td><td>&nbsp;&nbsp;</td><td>Moon</td>"
      "<td>&nbsp;&nbsp;</td></tr>\r\n";
  const AspectFields entry = Entry("Trine", "Sun", "Moon", "1" DEG, ' ');
  EXPECT_EQ(Rows({entry, entry, entry}, TableLayout::orbTable), row + row + row);
}

TEST(WriteAspectRows, TextsAndSignsAreEscaped) {
  const AspectFields entry = Entry("<i>Tri&ne", "S\"un", "Mo'on>", "1" DEG "\r", '&');
  EXPECT_EQ(Rows({entry}, TableLayout::aspectTypeTable),
            "<tr><td><b>&lt;i&gt;Tri&amp;ne</b></td><td>&nbsp;&nbsp;</td><td>S\"un</td>"
            "<td>&nbsp;&nbsp;</td><td>Mo'on&gt;</td><td>&nbsp;&nbsp;</td><td><font face "
            "=\"Courier New\">&amp;1" DEG "\r</font></td><td>&nbsp;&nbsp;</td></tr>\r\n");
  // Escaping may carry a text of up to 32 bytes beyond them; every text is still whole, also the
  // last one of its table.
  for (const std::size_t length : {28u, 31u, 32u, 33u}) {
    const std::string raw = std::string(length - 1, 'p') + "&";
    const std::string shown = std::string(length - 1, 'p') + "&amp;";
    const Entries entries = {Entry("T", "S", raw, "2" DEG, ' '),
                             Entry(raw, raw, raw, "1" DEG, ' ')};
    EXPECT_EQ(Rows(entries, TableLayout::planetTable),
              "<tr><td><b>S</b></td><td>&nbsp;&nbsp;</td><td>T</td><td>&nbsp;&nbsp;</td><td>" +
                  shown +
                  "</td><td>&nbsp;&nbsp;</td><td><font face =\"Courier New\">&nbsp;2" DEG
                  "</font></td><td>&nbsp;&nbsp;</td></tr>\r\n"
                  "<tr><td><b>" +
                  shown + "</b></td><td>&nbsp;&nbsp;</td><td>" + shown +
                  "</td><td>&nbsp;&nbsp;</td><td>" + shown +
                  "</td><td>&nbsp;&nbsp;</td><td><font face =\"Courier New\">&nbsp;1" DEG
                  "</font></td><td>&nbsp;&nbsp;</td></tr>\r\n")
        << length;
  }
}

TEST(WriteAspectRows, WritesEveryRowOfALongListAndFlushes) {
  for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{5000}}) {
    CountingBuffer buffer;
    std::ostream page(&buffer);
    WriteRows(page, Entries(count, kTrine), TableLayout::orbTable);
    const std::string written = buffer.str();
    std::size_t rows = 0;
    for (std::size_t at = 0; (at = written.find("</tr>\r\n", at)) != std::string::npos; ++at) {
      ++rows;
    }
    EXPECT_EQ(rows, count);
    EXPECT_EQ(written.size(), count * Rows({kTrine}, TableLayout::orbTable).size());
    EXPECT_GE(buffer.flushes, 1) << count << " rows";
  }
}

struct HeaderCell {
  std::string title;
  bool centred;
};

// A header row as the layout table describes it: seven cells, the even ones spacers.
std::string ExpectedHeaderRow(const std::vector<HeaderCell>& titles) {
  std::string row = "<tr>\n";
  for (std::size_t i = 0; i < titles.size(); ++i) {
    if (i > 0) row += "  <td align=center bgcolor=Silver>&nbsp;&nbsp;</td>\n";
    row += std::string(titles[i].centred ? "  <td align=center bgcolor=Silver>"
                                         : "  <td align=left bgcolor=Silver>") +
           "<b>" + titles[i].title + "</b></td>\n";
  }
  return row + "</tr>\n";
}

// A header row as it is stored on the page, each line end as CR LF.
std::string OnPage(const std::string& headerRow) {
  std::ostringstream stored;
  WriteCrLf(stored, headerRow);
  return stored.str();
}

TEST(TableHeaderRow, TheTwoExampleRows) {
  EXPECT_EQ(OnPage(TableHeaderRow(TableLayout::orbTable, LanguageFlag::english)),
            "<tr>\r\n"
            "  <td align=center bgcolor=Silver><b>Orb</b></td>\r\n"
            "  <td align=center bgcolor=Silver>&nbsp;&nbsp;</td>\r\n"
            "  <td align=left bgcolor=Silver><b>Aspect</b></td>\r\n"
            "  <td align=center bgcolor=Silver>&nbsp;&nbsp;</td>\r\n"
            "  <td align=left bgcolor=Silver><b>From</b></td>\r\n"
            "  <td align=center bgcolor=Silver>&nbsp;&nbsp;</td>\r\n"
            "  <td align=left bgcolor=Silver><b>To</b></td>\r\n"
            "</tr>\r\n");
  EXPECT_EQ(OnPage(TableHeaderRow(TableLayout::planetTable, LanguageFlag::russian)),
            test::Cp1251("<tr>\r\n"
                         "  <td align=left bgcolor=Silver><b>От</b></td>\r\n"
                         "  <td align=center bgcolor=Silver>&nbsp;&nbsp;</td>\r\n"
                         "  <td align=left bgcolor=Silver><b>Аспекта</b></td>\r\n"
                         "  <td align=center bgcolor=Silver>&nbsp;&nbsp;</td>\r\n"
                         "  <td align=left bgcolor=Silver><b>До</b></td>\r\n"
                         "  <td align=center bgcolor=Silver>&nbsp;&nbsp;</td>\r\n"
                         "  <td align=center bgcolor=Silver><b>Орбис</b></td>\r\n"
                         "</tr>\r\n"));
}

TEST(TableHeaderRow, EveryLayoutInBothLanguages) {
  struct Titles {
    std::string orb, aspect, from, to;
  };
  const Titles english = {"Orb", "Aspect", "From", "To"};
  const Titles russian = {test::Cp1251("Орбис"), test::Cp1251("Аспекта"), test::Cp1251("От"),
                          test::Cp1251("До")};
  for (const LanguageFlag language :
       {LanguageFlag::english, LanguageFlag::russian, static_cast<LanguageFlag>(2)}) {
    const Titles& t = language == LanguageFlag::russian ? russian : english;
    EXPECT_EQ(
        TableHeaderRow(TableLayout::orbTable, language),
        ExpectedHeaderRow({{t.orb, true}, {t.aspect, false}, {t.from, false}, {t.to, false}}));
    EXPECT_EQ(
        TableHeaderRow(TableLayout::planetTable, language),
        ExpectedHeaderRow({{t.from, false}, {t.aspect, false}, {t.to, false}, {t.orb, true}}));
    EXPECT_EQ(
        TableHeaderRow(TableLayout::aspectTypeTable, language),
        ExpectedHeaderRow({{t.aspect, false}, {t.from, false}, {t.to, false}, {t.orb, true}}));
  }
}

}  // namespace
}  // namespace korvo
