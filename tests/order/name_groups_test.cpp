#include "order/name_groups.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/entry_builder.h"
#include "support/plain_rules.h"

namespace korvo {
namespace {

TEST(GroupByName, AgreesWithThePlainRule) {
  const std::vector<std::string> lineNames = {"Trine", "Square", "Trine", "trine",  "Sextile",
                                              "",      "Square", "Trine", "Square "};
  struct Case {
    const char* what;
    NameList names;
  };
  const std::vector<Case> cases = {
      {"every name once", {"Square", "Trine", "trine", "Sextile", "", "Square "}},
      {"a name listed twice collects its group twice", {"Trine", "Square", "Trine"}},
      {"every entry listed and one name twice",
       {"Square", "Trine", "trine", "Sextile", "", "Square ", "Trine"}},
      {"a name listed three times, apart", {"Trine", "", "Trine", "Square", "Trine"}},
      {"unlisted names are left out", {"Square"}},
      {"no names", {}},
      {"a listed name without entries", {"Opposition", "Trine", "Opposition"}},
  };
  for (const GroupingName field : {GroupingName::aspect, GroupingName::fromPlanet}) {
    test::ListBuilder b;
    for (const std::string& name : lineNames) {
      if (field == GroupingName::aspect) b.Add(name, "Sun", "Moon");
      if (field == GroupingName::fromPlanet) b.Add("Trine", name, "Moon");
    }
    for (const Case& testCase : cases) {
      EntryOrder order = b.Order();
      GroupByName(b.list, order, testCase.names, field);
      EXPECT_EQ(order, test::PlainGroupByName(b.list, b.Order(), testCase.names, field))
          << testCase.what;
    }
  }
}

TEST(GroupByName, AMirroredPlaceIsGroupedByItsToPlanet) {
  test::ListBuilder b;
  b.Add("Trine", "Sun", "Moon");
  b.Add("Square", "Moon", "Mars");
  const EntryOrder start = {0, 1, 0 | kMirroredFlag, 1 | kMirroredFlag};
  EntryOrder order = start;
  GroupByName(b.list, order, {"Mars", "Moon", "Sun"}, GroupingName::fromPlanet);
  EXPECT_EQ(test::Describe(b.list, order),
            (std::vector<std::string>{"Square Mars-Moon", "Square Moon-Mars", "Trine Moon-Sun",
                                      "Trine Sun-Moon"}));
  EXPECT_EQ(order, test::PlainGroupByName(b.list, start, {"Mars", "Moon", "Sun"},
                                          GroupingName::fromPlanet));
}

TEST(AppendMissingNames, AgreesWithThePlainRule) {
  test::ListBuilder b;
  b.Add("Trine", "Sun", "Moon");
  b.Add("Square", "Pluto", "Chiron");
  b.Add("trine", "Sun ", "Sun");
  b.Add("", "", "Lilith");
  const EntryOrder reading = b.Order();
  const EntryRef m = kMirroredFlag;
  const EntryOrder mirrored = {3, 1, 0, 2, 3 | m, 1 | m, 0 | m, 2 | m};
  const std::vector<NameList> starts = {{}, {"Moon", "Trine"}, {"Nowhere", "Sun", "Sun"}};
  for (const EntryOrder& order : {reading, mirrored}) {
    for (const GroupingName field : {GroupingName::aspect, GroupingName::fromPlanet}) {
      for (const NameList& start : starts) {
        NameList names = start;
        const std::span<const std::string> appended =
            AppendMissingNames(b.list, order, names, field);
        EXPECT_EQ(names, test::PlainAppendMissingNames(b.list, order, start, field));
        EXPECT_EQ(NameList(appended.begin(), appended.end()),
                  NameList(names.begin() + static_cast<std::ptrdiff_t>(start.size()), names.end()));
      }
    }
  }
}

// Catches a step that compares names entry by entry: reading a large list numbers its names
// with about one byte comparison per name read, however many distinct names there are, and
// grouping then agrees with the plain rule.
TEST(NameGroups, ALargeListIsNumberedOnceAndGroupedLikeTheRuleSays) {
  constexpr std::size_t kCount = 100000;
  std::vector<std::string> planets;
  for (int i = 0; i < 40; ++i) planets.push_back("Planet" + std::to_string(i));
  planets.push_back("");
  planets.push_back("planet1");
  test::ListBuilder b;
  std::uint32_t random = 99;
  const auto next = [&random] { return random = random * 1103515245u + 12345u; };
  for (std::size_t i = 0; i < kCount; ++i) {
    const std::string& from = planets[(next() >> 8) % planets.size()];
    const std::string& to = planets[(next() >> 8) % planets.size()];
    b.Add("Type" + std::to_string((next() >> 8) % 12), from, to, static_cast<std::int32_t>(i));
  }
  // Every look-up of a name already numbered compares its bytes with that one name only.
  EXPECT_LE(b.list.planetNames.cost.comparedTexts, 2 * kCount);
  EXPECT_LE(b.list.aspectNames.cost.comparedTexts, kCount);
  EXPECT_EQ(TextCount(b.list.planetNames), planets.size());

  // Some listed twice, some never occurring, some left for the unseen step.
  const NameList fileNames = {"Planet3", "Nowhere", "Planet1", "Planet3", "Planet39 ", "Planet0"};
  EntryOrder mirrored = b.Order();
  for (std::size_t place = 0; place < kCount; ++place) {
    mirrored.push_back(mirrored[place] | kMirroredFlag);
  }
  for (const GroupingName field : {GroupingName::fromPlanet, GroupingName::aspect}) {
    for (const EntryOrder& start : {b.Order(), mirrored}) {
      NameList names = fileNames;
      AppendMissingNames(b.list, start, names, field);
      EXPECT_EQ(names, test::PlainAppendMissingNames(b.list, start, fileNames, field));
      EntryOrder grouped = start;
      GroupByName(b.list, grouped, names, field);
      EXPECT_EQ(grouped, test::PlainGroupByName(b.list, start, names, field));
    }
  }
}

}  // namespace
}  // namespace korvo
