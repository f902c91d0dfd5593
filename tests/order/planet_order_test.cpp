#include "order/planet_order.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "order/order_test_support.h"
#include "platform/file_system.h"
#include "support/test_support.h"

namespace korvo {
namespace {

using test::Describe;

TEST(HouseNames, TwelveInEachLanguage) {
  const std::vector<std::string> roman = {"I",   "II",   "III", "IV", "V",  "VI",
                                          "VII", "VIII", "IX",  "X",  "XI", "XII"};
  const auto& english = HouseNames(LanguageFlag::english);
  const auto& russian = HouseNames(LanguageFlag::russian);
  ASSERT_EQ(english.size(), 12u);
  ASSERT_EQ(russian.size(), 12u);
  for (std::size_t i = 0; i < 12; ++i) {
    EXPECT_EQ(english[i], roman[i] + " House");
    EXPECT_EQ(russian[i], roman[i] + test::Cp1251(" дом"));
    EXPECT_EQ(russian[i].substr(russian[i].size() - 3), "\xE4\xEE\xEC");
  }
}

TEST(PlanetsFileName, ByLanguage) {
  const std::string s(1, kPathSeparator);
  EXPECT_EQ(PlanetsFileName(LanguageFlag::english), "Language" + s + "English" + s + "Planets.txt");
  EXPECT_EQ(PlanetsFileName(LanguageFlag::russian), "Language" + s + "Russian" + s + "Planets.txt");
}

std::vector<std::string> ReadNames(const std::string& bytes, std::string* log = nullptr) {
  std::istringstream input(bytes);
  LineReader reader = MakeLineReader(input, CodePage::windows1252);
  test::CapturedLog captured;
  NameList names;
  ReadPlanets(reader, names, captured.log, "/p/Planets.txt");
  if (log) *log = captured.Text();
  return names;
}

TEST(ReadPlanets, OneNamePerLine) {
  using namespace std::string_literals;
  struct Row {
    std::string bytes;
    std::vector<std::string> names;
  };
  const Row rows[] = {
      {"", {}},
      {"Sun\nMoon\n", {"Sun", "Moon"}},
      {"Sun\r\nMoon\r\n", {"Sun", "Moon"}},
      {"Sun\nMoon", {"Sun", "Moon"}},                     // the last line counts once
      {"Sun \nMoon\t\n", {"Sun ", "Moon\t"}},             // trailing blanks belong to the name
      {" Mars\n\tVenus\n\vX\n\fY\n\rZ\nSun\n", {"Sun"}},  // leading whitespace: skipped
      {"\n", {""}},                                       // an empty line is the empty name
      {"Sun\n\r\nMoon\n", {"Sun", "", "Moon"}},
      {"Sun\nSun\n", {"Sun", "Sun"}},            // no duplicate test
      {"; Sun\n# Moon\n", {"; Sun", "# Moon"}},  // no comment character
      {"\xD1\xEE\xEB\xED\xF6\xE5\n", {"\xD1\xEE\xEB\xED\xF6\xE5"}},
      {"\xA0Sun\n", {"\xA0Sun"}},  // 0xA0 is not whitespace
      {"Sun\0junk\nMoon"s, {"Sun", "Moon"}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ReadNames(row.bytes), row.names) << ::testing::PrintToString(row.bytes);
  }
}

TEST(ReadPlanets, ALongLineIsCutAndReadingGoesOn) {
  std::string log;
  const std::vector<std::string> expected = {std::string(127, 'a'), std::string(127, 'b'), "Moon"};
  EXPECT_EQ(ReadNames(std::string(127, 'a') + "\r\n" + std::string(128, 'b') + "\n" + " " +
                          std::string(200, 'c') + "\nMoon",
                      &log),
            expected);
  EXPECT_EQ(log,
            "Line 2 of /p/Planets.txt cut at 127 bytes\r\n"
            "Line 3 of /p/Planets.txt cut at 127 bytes\r\n");
}

TEST(MirrorAspects, AppendsEveryEntryWithItsPlanetsExchanged) {
  test::EntryBuilder b;
  AspectList list = {b.Make("Trine", "Sun", "Moon", 300,
                            "0\xB0"
                            "05'"),
                     b.Make("Conj", "Mars", "Mars", 60, "1'"),
                     b.Make("Trine", "Sun", "Moon", 300,
                            "0\xB0"
                            "05'")};
  list[0].orbSign = '-';
  const AspectList before = list;
  MirrorAspects(list);
  EXPECT_EQ(Describe(list),
            (std::vector<std::string>{"Trine Sun-Moon", "Conj Mars-Mars", "Trine Sun-Moon",
                                      "Trine Moon-Sun", "Conj Mars-Mars", "Trine Moon-Sun"}));
  for (std::size_t i = 0; i < before.size(); ++i) {
    const AspectEntry& copy = list[before.size() + i];
    EXPECT_EQ(copy.aspect.data(), before[i].aspect.data());  // the same texts, not new ones
    EXPECT_EQ(copy.fromPlanet.data(), before[i].toPlanet.data());
    EXPECT_EQ(copy.toPlanet.data(), before[i].fromPlanet.data());
    EXPECT_EQ(copy.orbText.data(), before[i].orbText.data());
    EXPECT_EQ(copy.orbSeconds, before[i].orbSeconds);
    EXPECT_EQ(copy.orbSign, before[i].orbSign);
    EXPECT_EQ(list[i].fromPlanet.data(), before[i].fromPlanet.data());  // the originals stay
  }
  AspectList empty;
  MirrorAspects(empty);
  EXPECT_TRUE(empty.empty());
}

TEST(CompletePlanets, HousesThenUnseenFromPlanets) {
  test::EntryBuilder b;
  const AspectList list = {b.Make("a", "Sun", "Moon"),    b.Make("a", "Moon", "Sun"),
                           b.Make("a", "I House", "Sun"), b.Make("a", "Pluto", "Sun"),
                           b.Make("a", "Moon", "Mars"),   b.Make("a", "sun", "Moon")};
  const std::vector<std::string> houses = {"I House",  "II House", "III House", "IV House",
                                           "V House",  "VI House", "VII House", "VIII House",
                                           "IX House", "X House",  "XI House",  "XII House"};
  NameList names = {"Sun", "Sun "};
  CompletePlanets(list, names, LanguageFlag::english);
  NameList expected = {"Sun", "Sun "};
  expected.insert(expected.end(), houses.begin(), houses.end());
  expected.insert(expected.end(), {"Moon", "Pluto", "sun"});
  EXPECT_EQ(names, expected);

  NameList russian = {"I House"};  // a house name in the file stays, and the house comes again
  CompletePlanets({}, russian, LanguageFlag::russian);
  ASSERT_EQ(russian.size(), 13u);
  EXPECT_EQ(russian[0], "I House");
  EXPECT_EQ(russian[1], test::Cp1251("I дом"));
  EXPECT_EQ(russian[12], test::Cp1251("XII дом"));
}

TEST(GroupByPlanet, GroupsInNameOrder) {
  test::EntryBuilder b;
  const AspectList list = {b.Make("t1", "Sun", "Moon"),   b.Make("s1", "Moon", "Sun"),
                           b.Make("t2", "Sun", "Mars"),   b.Make("x1", "Mars", "Sun"),
                           b.Make("s2", "Moon", "Venus"), b.Make("c1", "sun", "Moon"),
                           b.Make("e1", "", "Moon")};
  struct Row {
    NameList names;
    std::vector<std::string> grouped;
  };
  const Row rows[] = {
      {{"Moon", "Jupiter", "Sun", "Mars", "sun", ""},
       {"s1 Moon-Sun", "s2 Moon-Venus", "t1 Sun-Moon", "t2 Sun-Mars", "x1 Mars-Sun", "c1 sun-Moon",
        "e1 -Moon"}},
      {{"Mars", "Sun", "Mars"}, {"x1 Mars-Sun", "t1 Sun-Moon", "t2 Sun-Mars", "x1 Mars-Sun"}},
      {{"Sun ", "SUN", "Moon"}, {"s1 Moon-Sun", "s2 Moon-Venus"}},
  };
  for (const Row& row : rows) {
    AspectList grouped = list;
    GroupByPlanet(grouped, row.names);
    EXPECT_EQ(Describe(grouped), row.grouped) << ::testing::PrintToString(row.names);
  }
}

}  // namespace
}  // namespace korvo
