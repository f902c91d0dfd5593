#include "order/orb_order.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace korvo {
namespace {

struct Orb {
  const char* label;
  std::int32_t seconds;
  char sign = ' ';
};

AspectList Entries(const std::vector<Orb>& orbs) {
  AspectList list;
  for (const Orb& orb : orbs) {
    AspectEntry entry;
    entry.aspect = orb.label;
    entry.orbSeconds = orb.seconds;
    entry.orbSign = orb.sign;
    list.push_back(entry);
  }
  return list;
}

std::vector<std::string> Labels(const AspectList& list) {
  std::vector<std::string> labels;
  for (const AspectEntry& entry : list) labels.emplace_back(entry.aspect);
  return labels;
}

TEST(SortByOrb, AscendingAndStable) {
  constexpr std::int32_t kMax = 2147483647;
  struct Row {
    const char* what;
    std::vector<Orb> orbs;
    std::vector<std::string> sorted;
  };
  const Row rows[] = {
      {"empty", {}, {}},
      {"one entry", {{"A", 5}}, {"A"}},
      {"equal orbs keep their order",
       {{"X", 7200}, {"C", 3600}, {"A", 3600}, {"Y", 60}, {"B", 3600}},
       {"Y", "C", "A", "B", "X"}},
      {"the sign takes no part",
       {{"minus10", 600, '-'}, {"plus20", 1200, '+'}, {"plus5", 300, '+'}},
       {"plus5", "minus10", "plus20"}},
      {"minus and plus of one size keep their order",
       {{"minus30", 1800, '-'}, {"plus30", 1800, '+'}},
       {"minus30", "plus30"}},
      {"already in order", {{"a", 1}, {"b", 2}, {"c", 2}, {"d", 3}}, {"a", "b", "c", "d"}},
      {"descending", {{"e", 5}, {"d", 4}, {"c", 3}, {"b", 2}, {"a", 1}}, {"a", "b", "c", "d", "e"}},
      {"the largest key",
       {{"M1", kMax}, {"a", 5}, {"M2", kMax}, {"b", 0}, {"c", kMax - 1}},
       {"b", "a", "c", "M1", "M2"}},
  };
  for (const Row& row : rows) {
    AspectList list = Entries(row.orbs);
    SortByOrb(list);
    EXPECT_EQ(Labels(list), row.sorted) << row.what;
  }
}

TEST(SortByOrb, MovesWholeEntries) {
  AspectList list = Entries({{"late", 900, '-'}, {"early", 30, '+'}});
  list[0].fromPlanet = "Sun";
  list[0].toPlanet = "Moon";
  list[0].orbText =
      "0\xB0"
      "15'";
  SortByOrb(list);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].aspect, "late");
  EXPECT_EQ(list[1].fromPlanet, "Sun");
  EXPECT_EQ(list[1].toPlanet, "Moon");
  EXPECT_EQ(list[1].orbText,
            "0\xB0"
            "15'");
  EXPECT_EQ(list[1].orbSeconds, 900);
  EXPECT_EQ(list[1].orbSign, '-');
  EXPECT_EQ(list[0].fromPlanet, AspectEntry{}.fromPlanet);  // the other entry kept its defaults
}

TEST(SortByOrb, SortsALargeListQuickly) {
  constexpr std::size_t kCount = 100000;
  std::vector<std::string> labels;
  labels.reserve(kCount);
  AspectList list;
  std::uint32_t random = 12345;
  for (std::size_t i = 0; i < kCount; ++i) {
    random = random * 1103515245u + 12345u;
    labels.push_back(std::to_string(i));
    AspectEntry entry;
    entry.aspect = labels.back();
    entry.orbSeconds = static_cast<std::int32_t>((random >> 8) % 36000);  // many equal orbs
    list.push_back(entry);
  }
  const auto start = std::chrono::steady_clock::now();
  SortByOrb(list);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(elapsed, std::chrono::seconds(2));

  ASSERT_EQ(list.size(), kCount);
  std::vector<bool> seen(kCount, false);
  for (std::size_t i = 0; i < kCount; ++i) {
    const std::size_t original = std::stoul(std::string(list[i].aspect));
    ASSERT_FALSE(seen[original]) << "entry " << original << " twice";
    seen[original] = true;
    if (i == 0) continue;
    ASSERT_LE(list[i - 1].orbSeconds, list[i].orbSeconds) << "at " << i;
    if (list[i - 1].orbSeconds == list[i].orbSeconds) {
      ASSERT_LT(std::stoul(std::string(list[i - 1].aspect)), original) << "unstable at " << i;
    }
  }
}

}  // namespace
}  // namespace korvo
