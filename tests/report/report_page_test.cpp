#include "report/report_page.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/test_support.h"

namespace korvo {
namespace {

TEST(MakePageName, ReplacesTheExtensionOfTheFilePart) {
  struct Row {
    const char* input;
    char separator;
    const char* page;
  };
  const Row rows[] = {
      {"C:\\Work\\Wrk\\Aspects.txt", '\\', "C:\\Work\\Wrk\\Aspects.html"},
      {"C:\\Work\\list", '\\', "C:\\Work\\list.html"},
      {"C:\\Work\\list.", '\\', "C:\\Work\\list.html"},
      {"C:\\Work\\a.b.txt", '\\', "C:\\Work\\a.b.html"},
      {"C:\\Data.old\\list", '\\', "C:\\Data.old\\list.html"},  // a "." in a folder: not used
      {"C:\\Data.old\\list.txt", '\\', "C:\\Data.old\\list.html"},
      {"C:\\Work\\.hidden", '\\', "C:\\Work\\.html"},
      {"C:\\Work\\page.html", '\\', "C:\\Work\\page.html"},
      {"C:\\Work\\list.TXT.bak", '\\', "C:\\Work\\list.TXT.html"},
      {"/home/u/work/Wrk/Aspects.txt", '/', "/home/u/work/Wrk/Aspects.html"},
      {"/home/u/list", '/', "/home/u/list.html"},
      {"/home/u/list.", '/', "/home/u/list.html"},
      {"/home/u/a.b.txt", '/', "/home/u/a.b.html"},
      {"/data.old/list", '/', "/data.old/list.html"},
      {"/data.old/list.txt", '/', "/data.old/list.html"},
      // Windows also takes '/' between folders; on POSIX a backslash is a byte of the name.
      {"C:/Data.old/list", '\\', "C:/Data.old/list.html"},
      {"C:\\Data.old\\list", '/', "C:\\Data.html"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(MakePageName(row.input, row.separator), row.page) << row.input;
  }
}

const std::string kEnglishHead =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n"
    "<html>\r\n"
    "<head>\r\n"
    "  <title>VEXA - Aspects List</title>\r\n"
    "</head>\r\n"
    "<body bgcolor=\"#ffffff\" text=\"#000000\">\r\n";

const std::string kRussianHead = test::Cp1251(
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n"
    "<html>\r\n"
    "<head>\r\n"
    "  <meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">\r\n"
    "  <title>VEXA - Список аспектов</title>\r\n"
    "</head>\r\n"
    "<body bgcolor=\"#ffffff\" text=\"#000000\">\r\n");

TEST(HeaderText, EachLineEscapedThenABreak) {
  EXPECT_EQ(HeaderText({"Composite chart <John & Mary>", "", "<!-- &amp;", "1\xB0 \"x\""}),
            "Composite chart &lt;John &amp; Mary&gt;<br><br>&lt;!-- &amp;amp;<br>1\xB0 \"x\"<br>");
  EXPECT_EQ(HeaderText({"", "", "", ""}), "<br><br><br><br>");
}

TEST(WritePageStart, HeadOfTheLanguageThenTheHeaderBlock) {
  const std::vector<std::string> headerLines = {"Natal <b>&</b>", "line 2", "", ""};
  const std::string header = "Natal &lt;b&gt;&amp;&lt;/b&gt;<br>line 2<br><br><br>";
  struct Row {
    LanguageFlag language;
    std::string head;
  };
  const Row rows[] = {
      {LanguageFlag::english, kEnglishHead},
      {LanguageFlag::russian, kRussianHead},
      {static_cast<LanguageFlag>(2), kEnglishHead},  // any value but Russian is English
  };
  for (const Row& row : rows) {
    std::ostringstream page;
    WritePageStart(page, row.language, headerLines);
    EXPECT_EQ(page.str(), row.head + "<h3>" + header + "</h3>\r\n")
        << static_cast<int>(row.language);
  }
  // The Russian title in Windows-1251: "Список аспектов".
  EXPECT_NE(kRussianHead.find("VEXA - \xD1\xEF\xE8\xF1\xEE\xEA \xE0\xF1\xEF\xE5\xEA\xF2\xEE\xE2<"),
            std::string::npos);
}

std::string HeaderRowCrLf(TableLayout layout, LanguageFlag language) {
  std::string row;
  for (const char c : TableHeaderRow(layout, language)) {
    if (c == '\n') row += '\r';
    row += c;
  }
  return row;
}

TEST(WriteTableBlock, TableStartHeaderRowsTableEnd) {
  AspectFields entry;
  entry.aspect = "Trine";
  entry.fromPlanet = "Sun";
  entry.toPlanet = "Moon";
  entry.orbText = "1\xB0";
  AspectList list;
  AddEntry(list, entry);
  AddEntry(list, entry);
  for (const LanguageFlag language : {LanguageFlag::english, LanguageFlag::russian}) {
    for (const TableLayout layout :
         {TableLayout::orbTable, TableLayout::planetTable, TableLayout::aspectTypeTable}) {
      std::ostringstream empty;
      WriteTableBlock(empty, list, {}, {}, layout, language);
      EXPECT_EQ(empty.str(), "<table align=left cellspacing=0>\r\n" +
                                 HeaderRowCrLf(layout, language) + "</table>\r\n");
      std::ostringstream rows;
      WriteAspectRows(rows, list, {}, ReadingOrder(list), layout);
      std::ostringstream full;
      WriteTableBlock(full, list, {}, ReadingOrder(list), layout, language);
      EXPECT_EQ(full.str(), "<table align=left cellspacing=0>\r\n" +
                                HeaderRowCrLf(layout, language) + rows.str() + "</table>\r\n");
    }
  }
}

TEST(WritePageEnd, ClosesBodyAndPage) {
  std::ostringstream page;
  WritePageEnd(page);
  EXPECT_EQ(page.str(), "</body>\r\n</html>\r\n");
}

}  // namespace
}  // namespace korvo
