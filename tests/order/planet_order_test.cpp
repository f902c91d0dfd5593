#include "order/planet_order.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/entry_builder.h"
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

TEST(MirrorAspects, AppendsEveryPlaceMarkedMirrored) {
  test::ListBuilder b;
  b.Add("Trine", "Sun", "Moon", 300,
        "0\xB0"
        "05'",
        '-');
  b.Add("Conj", "Mars", "Mars", 60, "1'");
  EntryOrder order = {0, 1, 0};
  MirrorAspects(order);
  EXPECT_EQ(order, (EntryOrder{0, 1, 0, 0 | kMirroredFlag, 1 | kMirroredFlag, 0 | kMirroredFlag}));
  EXPECT_EQ(Describe(b.list, order),
            (std::vector<std::string>{"Trine Sun-Moon", "Conj Mars-Mars", "Trine Sun-Moon",
                                      "Trine Moon-Sun", "Conj Mars-Mars", "Trine Moon-Sun"}));
  // The entry itself is not copied: the mirrored place shows the same orb and sign.
  EXPECT_EQ(b.list.entries.size(), 2u);
  EXPECT_EQ(OrbTextOf(b.list, order[3]),
            "0\xB0"
            "05'");
  EXPECT_EQ(EntryAt(b.list, order[3]).orbSign, '-');
  EntryOrder empty;
  MirrorAspects(empty);
  EXPECT_TRUE(empty.empty());
}

TEST(CompletePlanets, HousesThenUnseenFromPlanets) {
  test::ListBuilder b;
  b.Add("a", "Sun", "Moon");
  b.Add("a", "Moon", "Sun");
  b.Add("a", "I House", "Sun");
  b.Add("a", "Pluto", "Sun");
  b.Add("a", "Moon", "Mars");
  b.Add("a", "sun", "Moon");
  const std::vector<std::string> houses = {"I House",  "II House", "III House", "IV House",
                                           "V House",  "VI House", "VII House", "VIII House",
                                           "IX House", "X House",  "XI House",  "XII House"};
  NameList names = {"Sun", "Sun "};
  const std::span<const std::string> unseen =
      CompletePlanets(b.list, b.Order(), names, LanguageFlag::english);
  NameList expected = {"Sun", "Sun "};
  expected.insert(expected.end(), houses.begin(), houses.end());
  expected.insert(expected.end(), {"Moon", "Pluto", "sun"});
  EXPECT_EQ(names, expected);
  // It says which from-planets it appended; a house ("I House") is none of them.
  EXPECT_EQ(NameList(unseen.begin(), unseen.end()), (NameList{"Moon", "Pluto", "sun"}));

  NameList russian = {"I House"};  // a house name in the file stays, and the house comes again
  EXPECT_TRUE(CompletePlanets(b.list, {}, russian, LanguageFlag::russian).empty());
  ASSERT_EQ(russian.size(), 13u);
  EXPECT_EQ(russian[0], "I House");
  EXPECT_EQ(russian[1], test::Cp1251("I дом"));
  EXPECT_EQ(russian[12], test::Cp1251("XII дом"));

  // A mirrored place brings its to-planet: Mars first appears as the from-planet of entry 4
  // mirrored.
  NameList mirrored;
  CompletePlanets(b.list, {0, 4 | kMirroredFlag, 4}, mirrored, LanguageFlag::english);
  mirrored.erase(mirrored.begin(), mirrored.begin() + 12);
  EXPECT_EQ(mirrored, (NameList{"Sun", "Mars", "Moon"}));
}

TEST(GroupByPlanet, GroupsInNameOrder) {
  test::ListBuilder b;
  b.Add("t1", "Sun", "Moon");
  b.Add("s1", "Moon", "Sun");
  b.Add("t2", "Sun", "Mars");
  b.Add("x1", "Mars", "Sun");
  b.Add("s2", "Moon", "Venus");
  b.Add("c1", "sun", "Moon");
  b.Add("e1", "", "Moon");
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
    EntryOrder grouped = b.Order();
    GroupByPlanet(b.list, grouped, row.names);
    EXPECT_EQ(Describe(b.list, grouped), row.grouped) << ::testing::PrintToString(row.names);
  }
}

}  // namespace
}  // namespace korvo
