#include "report/page_escaping.h"

#include <gtest/gtest.h>

#include <string>

#include "support/entry_builder.h"

namespace korvo {
namespace {

TEST(AppendEscaped, OnlyAmpersandAndAngleBracketsBecomeEntitiesAndQuotesInAttributes) {
  struct Row {
    std::string text;
    std::string shown;
    std::string inAttribute;
  };
  const Row rows[] = {
      {"", "", ""},
      {"<John & Mary>", "&lt;John &amp; Mary&gt;", "&lt;John &amp; Mary&gt;"},
      // An entity is escaped too: the page shows what the file says.
      {"&amp;", "&amp;amp;", "&amp;amp;"},
      {"&&<<>>", "&amp;&amp;&lt;&lt;&gt;&gt;", "&amp;&amp;&lt;&lt;&gt;&gt;"},
      // Quotes and other bytes stay, but a double quote in an attribute.
      {"1\xB0 30' 15\" \xE4", "1\xB0 30' 15\" \xE4", "1\xB0 30' 15&quot; \xE4"},
      {"\"&\"\"", "\"&amp;\"\"", "&quot;&amp;&quot;&quot;"},
  };
  for (const Row& row : rows) {
    std::string out = "kept:";
    AppendEscaped(out, row.text);
    EXPECT_EQ(out, "kept:" + row.shown) << row.text;
    EXPECT_EQ(NeedsEscaping(row.text), row.shown != row.text) << row.text;
    std::string attribute = "kept:";
    AppendEscapedAttribute(attribute, row.text);
    EXPECT_EQ(attribute, "kept:" + row.inAttribute) << row.text;
  }
}

TEST(EscapeForPage, CopiesOnlyTheTablesThatNeedItKeepingNumbersAndSlack) {
  test::ListBuilder b;
  b.Add("Trine", "Sun & Moon", "Moon", 0, "1\xB0");
  b.Add("Square", "Sun", std::string(31, 'x') + "<", 0, "2\xB0");
  b.Add("Trine", "Moon", "Sun & Moon", 0, "1\xB0");
  const PageTexts page = EscapeForPage(b.list);
  EXPECT_FALSE(page.aspectNames.has_value());  // nothing to escape: shown as they are
  EXPECT_FALSE(page.orbTexts.has_value());
  EXPECT_EQ(&ShownTable(page.aspectNames, b.list.aspectNames), &b.list.aspectNames);
  ASSERT_TRUE(page.planetNames.has_value());
  const NumberedTexts& planets = ShownTable(page.planetNames, b.list.planetNames);
  ASSERT_EQ(TextCount(planets), TextCount(b.list.planetNames));
  for (std::uint32_t number = 0; number < TextCount(planets); ++number) {
    std::string escaped;
    AppendEscaped(escaped, TextOf(b.list.planetNames, number));
    EXPECT_EQ(TextOf(planets, number), escaped) << number;
  }
  // The row writer may read kTextReadSlack bytes from the start of any text.
  const std::uint64_t lastEnd = planets.starts.back();
  ASSERT_EQ(planets.bytes.size(), lastEnd + kTextReadSlack);
  EXPECT_EQ(planets.bytes.substr(lastEnd), std::string(kTextReadSlack, '\0'));
}

}  // namespace
}  // namespace korvo
