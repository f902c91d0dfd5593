// The orb sort and the grouping take shortcuts for speed (a radix sort of keys, a reordering in
// place, a counting sort by name). These tests hold them to the plain rules: a stable sort by orb
// seconds, and for each listed name in turn every entry of that name in list order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "order/name_groups.h"
#include "order/orb_order.h"
#include "order/reorder.h"

namespace korvo {
namespace {

// Entries told apart by their orb text, which holds their input position.
AspectList EntriesWithOrbs(const std::vector<std::int32_t>& orbs, std::vector<std::string>& texts) {
  texts.clear();
  for (std::size_t i = 0; i < orbs.size(); ++i) texts.push_back("#" + std::to_string(i));
  AspectList aspects(orbs.size());
  for (std::size_t i = 0; i < orbs.size(); ++i) {
    aspects[i].orbText = texts[i];
    aspects[i].orbSeconds = orbs[i];
  }
  return aspects;
}

std::vector<std::string_view> OrbTexts(const AspectList& aspects) {
  std::vector<std::string_view> result;
  for (const AspectEntry& entry : aspects) result.push_back(entry.orbText);
  return result;
}

AspectList PlainStableSort(AspectList aspects) {
  std::stable_sort(aspects.begin(), aspects.end(), [](const AspectEntry& a, const AspectEntry& b) {
    return a.orbSeconds < b.orbSeconds;
  });
  return aspects;
}

TEST(SortByOrbTest, AgreesWithAStableSortOnKeysThatDifferInEveryByte) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  const std::vector<std::vector<std::int32_t>> cases = {
      {},
      {5},
      {3, 1, 2},
      {1, 1, 1, 1},                                      // all equal: input order stays
      {7200, 60, 7200, 60, 0},                           // equal pairs keep their order
      {0x01000000, 0x00010000, 0x00000100, 1, 0},        // each key differs in one byte only
      {0x01000001, 0x01000000, 0x00FFFFFF, 0x00000001},  // a high byte decides over low ones
      {-1, 1, 0, -300, 300},                             // negative orbs sort below zero
      {kMax, 0, kMax, kMin, -1, kMax - 1},               // the extremes of 32 bits
  };
  for (const std::vector<std::int32_t>& orbs : cases) {
    std::vector<std::string> texts;
    AspectList aspects = EntriesWithOrbs(orbs, texts);
    const AspectList expected = PlainStableSort(aspects);
    SortByOrb(aspects);
    EXPECT_EQ(OrbTexts(aspects), OrbTexts(expected)) << "cases of size " << orbs.size();
  }
}

TEST(SortByOrbTest, AgreesWithAStableSortOnRandomLists) {
  std::mt19937 random(11);
  for (const std::int32_t range : {3, 36000, std::numeric_limits<std::int32_t>::max()}) {
    std::uniform_int_distribution<std::int32_t> orb(-range / 2, range);
    std::vector<std::int32_t> orbs(5000);
    for (std::int32_t& value : orbs) value = orb(random);
    std::vector<std::string> texts;
    AspectList aspects = EntriesWithOrbs(orbs, texts);
    const AspectList expected = PlainStableSort(aspects);
    SortByOrb(aspects);
    EXPECT_EQ(OrbTexts(aspects), OrbTexts(expected)) << "orbs up to " << range;
  }
}

TEST(ReorderInPlaceTest, PutsTheEntryOfEachSourcePositionInPlace) {
  const std::vector<std::vector<std::uint32_t>> permutations = {
      {}, {0}, {1, 0}, {0, 1, 2}, {2, 0, 1}, {1, 2, 0}, {3, 2, 1, 0}, {1, 0, 3, 2, 4}};
  for (const std::vector<std::uint32_t>& sourceOf : permutations) {
    std::vector<std::string> texts;
    AspectList aspects = EntriesWithOrbs(std::vector<std::int32_t>(sourceOf.size(), 0), texts);
    std::vector<std::string_view> expected;
    for (const std::uint32_t source : sourceOf) expected.push_back(texts[source]);
    std::vector<std::uint32_t> scratch = sourceOf;
    ReorderInPlace(aspects, scratch);
    EXPECT_EQ(OrbTexts(aspects), expected) << "a permutation of " << sourceOf.size();
  }
}

// The grouping rule written out as directly as it reads.
AspectList PlainGrouping(const AspectList& aspects, const NameList& names) {
  AspectList grouped;
  for (const std::string& name : names) {
    for (const AspectEntry& entry : aspects) {
      if (entry.aspect == name) grouped.push_back(entry);
    }
  }
  return grouped;
}

TEST(GroupByNameTest, AgreesWithThePlainRule) {
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
      {"unlisted names are left out", {"Square"}},
      {"no names", {}},
      {"a listed name without entries", {"Opposition", "Trine"}},
  };
  for (const Case& testCase : cases) {
    std::vector<std::string> texts;
    AspectList aspects = EntriesWithOrbs(std::vector<std::int32_t>(lineNames.size(), 0), texts);
    for (std::size_t i = 0; i < lineNames.size(); ++i) aspects[i].aspect = lineNames[i];
    const AspectList expected = PlainGrouping(aspects, testCase.names);
    GroupByName(aspects, testCase.names, &AspectEntry::aspect);
    EXPECT_EQ(OrbTexts(aspects), OrbTexts(expected)) << testCase.what;
  }
}

}  // namespace
}  // namespace korvo
