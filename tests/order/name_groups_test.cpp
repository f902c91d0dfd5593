#include "order/name_groups.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "order/order_test_support.h"

namespace korvo {
namespace {

// The groupings as the rules state them, one name compared with one entry at a time; slow, but
// plainly right, to check the fast ones against.
void AppendMissingNamesOneByOne(const AspectList& aspects, NameList& names, EntryName field) {
  for (const AspectEntry& entry : aspects) {
    bool listed = false;
    for (std::size_t i = 0; i < names.size() && !listed; ++i) listed = names[i] == entry.*field;
    if (!listed) names.emplace_back(entry.*field);
  }
}

AspectList GroupOneByOne(const AspectList& aspects, const NameList& names, EntryName field) {
  AspectList grouped;
  for (const std::string& name : names) {
    for (const AspectEntry& entry : aspects) {
      if (entry.*field == name) grouped.push_back(entry);
    }
  }
  return grouped;
}

TEST(NameGroups, ALargeListIsGroupedLikeTheRuleSays) {
  constexpr std::size_t kCount = 100000;
  test::EntryBuilder b;
  std::vector<std::string> planets;
  for (int i = 0; i < 40; ++i) planets.push_back("Planet" + std::to_string(i));
  planets.push_back("");
  planets.push_back("planet1");
  AspectList list;
  std::uint32_t random = 99;
  const auto next = [&random] { return random = random * 1103515245u + 12345u; };
  for (std::size_t i = 0; i < kCount; ++i) {
    const std::string& from = planets[(next() >> 8) % planets.size()];
    const std::string& to = planets[(next() >> 8) % planets.size()];
    list.push_back(b.Make("Type" + std::to_string((next() >> 8) % 12), from, to,
                          static_cast<std::int32_t>(i)));
  }
  // Some listed twice, some never occurring, some left for the unseen step.
  const NameList fileNames = {"Planet3", "Nowhere", "Planet1", "Planet3", "Planet39 ", "Planet0"};

  for (const EntryName field : {&AspectEntry::fromPlanet, &AspectEntry::aspect}) {
    NameList names = fileNames;
    NameList expectedNames = fileNames;
    const auto start = std::chrono::steady_clock::now();
    AppendMissingNames(list, names, field);
    AspectList grouped = list;
    GroupByName(grouped, names, field);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(2));

    AppendMissingNamesOneByOne(list, expectedNames, field);
    EXPECT_EQ(names, expectedNames);
    const AspectList expected = GroupOneByOne(list, expectedNames, field);
    ASSERT_EQ(grouped.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      // orbSeconds holds each entry's position in the list, so it tells entries apart.
      ASSERT_EQ(grouped[i].orbSeconds, expected[i].orbSeconds) << "at " << i;
    }
  }
}

}  // namespace
}  // namespace korvo
