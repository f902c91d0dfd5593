#include "order/orb_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "order/planet_order.h"
#include "support/entry_builder.h"
#include "support/plain_rules.h"

namespace korvo {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

struct Orb {
  const char* label;
  std::int32_t seconds;
  char sign = ' ';
};

// The labels are aspect names, so the sorted order can be read back as text.
std::vector<std::string> SortedLabels(const std::vector<Orb>& orbs) {
  test::ListBuilder b;
  for (const Orb& orb : orbs) b.Add(orb.label, "a", "b", orb.seconds, "", orb.sign);
  EntryOrder order = b.Order();
  SortByOrb(b.list, order);
  std::vector<std::string> labels;
  for (const EntryRef ref : order) labels.emplace_back(AspectNameText(b.list, ref));
  return labels;
}

TEST(SortByOrb, AscendingAndStable) {
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
  for (const Row& row : rows) EXPECT_EQ(SortedLabels(row.orbs), row.sorted) << row.what;
}

// Entries whose orbs are `orbs`, sorted from the given order, against a plain stable sort.
void ExpectLikeAStableSort(const std::vector<std::int32_t>& orbs, const EntryOrder& start) {
  test::ListBuilder b;
  for (const std::int32_t orb : orbs) b.Add("a", "b", "c", orb);
  EntryOrder order = start;
  SortByOrb(b.list, order);
  EXPECT_EQ(order, test::PlainSortByOrb(b.list, start)) << orbs.size() << " entries";
}

TEST(SortByOrb, AgreesWithAStableSortOnKeysThatDifferInEveryByte) {
  const std::vector<std::vector<std::int32_t>> cases = {
      {},
      {5},
      {3, 1, 2},
      {1, 1, 1, 1},                                      // all equal: the order stays
      {7200, 60, 7200, 60, 0},                           // equal pairs keep their order
      {0x01000000, 0x00010000, 0x00000100, 1, 0},        // each key differs in one byte only
      {0x01000001, 0x01000000, 0x00FFFFFF, 0x00000001},  // a high byte decides over low ones
      {-1, 1, 0, -300, 300},                             // negative orbs sort below zero
      {kMax, 0, kMax, kMin, -1, kMax - 1},               // the extremes of 32 bits
  };
  for (const std::vector<std::int32_t>& orbs : cases) {
    test::ListBuilder b;
    for (const std::int32_t orb : orbs) b.Add("a", "b", "c", orb);
    ExpectLikeAStableSort(orbs, b.Order());
  }
}

TEST(SortByOrb, SortsAnyOrderWithMirroredAndRepeatedPlacesStably) {
  // The planet table sorts an order that holds every entry twice, once mirrored, and perhaps
  // more often when a name was listed twice; the places of one entry keep their order.
  const std::vector<std::int32_t> orbs = {300, 60, 300, 0, 60};
  EntryOrder start = {2, 0, 4, 1, 3, 2};
  MirrorAspects(start);
  ExpectLikeAStableSort(orbs, start);
  test::ListBuilder b;
  for (const std::int32_t orb : orbs) b.Add("a", "b", "c", orb);
  EntryOrder order = start;
  SortByOrb(b.list, order);
  const EntryRef m = kMirroredFlag;
  EXPECT_EQ(order, (EntryOrder{3, 3 | m, 4, 1, 4 | m, 1 | m, 2, 0, 2, 2 | m, 0 | m, 2 | m}));
}

TEST(SortByOrb, AgreesWithAStableSortOnLargeRandomLists) {
  std::mt19937 random(11);
  for (const std::int32_t range : {3, 36000, kMax}) {
    std::uniform_int_distribution<std::int32_t> orb(-range / 2, range);
    std::vector<std::int32_t> orbs(100000);
    for (std::int32_t& value : orbs) value = orb(random);
    test::ListBuilder b;
    for (const std::int32_t value : orbs) b.Add("a", "b", "c", value);
    EntryOrder start = b.Order();
    std::shuffle(start.begin(), start.end(), random);
    ExpectLikeAStableSort(orbs, start);
  }
}

}  // namespace
}  // namespace korvo
