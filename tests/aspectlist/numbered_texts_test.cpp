#include "aspectlist/numbered_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvo {
namespace {

TEST(NumberText, NumbersDistinctBytesInOrderOfFirstAppearance) {
  using namespace std::string_literals;
  const std::vector<std::string> texts = {"Sun", "Moon", "Sun", "sun",      "Sun ", "",
                                          "",    "a\0"s, "a",   "\xB0\xFF", "Moon"};
  const std::vector<std::uint32_t> numbers = {0, 1, 0, 2, 3, 4, 4, 5, 6, 7, 1};
  NumberedTexts table;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(NumberText(table, texts[i]), numbers[i]) << i;
  }
  ASSERT_EQ(TextCount(table), 8u);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(TextOf(table, numbers[i]), texts[i]) << i;
    EXPECT_EQ(FindText(table, texts[i]), numbers[i]) << i;
  }
  EXPECT_EQ(FindText(table, "Mars"), kNoText);
  EXPECT_EQ(FindText(table, "Moo"), kNoText);
  EXPECT_EQ(FindText(NumberedTexts{}, ""), kNoText);
}

TEST(NumberText, ManyTextsKeepTheirNumbersWhileTheIndexGrows) {
  NumberedTexts table;
  // A fixed key, under which no two of these texts share a hash. Under a random one, some pair
  // of 20,000 texts shares all 32 bits for about one key in twenty, and is then compared.
  table.hashKey = MakeTextHashKey({1, 2});
  constexpr std::uint32_t kCount = 20000;
  for (std::uint32_t i = 0; i < kCount; ++i) {
    ASSERT_EQ(NumberText(table, "name " + std::to_string(i)), i);
  }
  for (std::uint32_t i = 0; i < kCount; i += 7) {
    EXPECT_EQ(FindText(table, "name " + std::to_string(i)), i);
    EXPECT_EQ(NumberText(table, "name " + std::to_string(i)), i);
    EXPECT_EQ(TextOf(table, i), "name " + std::to_string(i));
  }
  EXPECT_EQ(TextCount(table), kCount);
  // New texts are compared with nothing; a repeated one with the one text of its hash.
  EXPECT_LE(table.cost.comparedTexts, kCount / 7 + 1);
}

std::uint64_t ProbesToNumber(NumberedTexts table, const std::vector<std::string>& names) {
  for (const std::string& name : names) NumberText(table, name);
  return table.cost.probedSlots;
}

// Names chosen to share the low bits of their hash under one key fall on one slot in every index
// they fill, so numbering them probes quadratically; a table with a key of its own probes each
// about once.
TEST(NumberText, NamesCraftedForOneKeyCostLinearProbesUnderAnother) {
  const TextHashKey knownKey = MakeTextHashKey({1, 2});
  constexpr std::uint32_t kCount = 500;
  constexpr std::uint32_t kSharedBits = (1u << 10) - 1;  // the index of 500 texts has 1024 slots
  std::vector<std::string> crafted;
  for (std::uint32_t candidate = 0; crafted.size() < kCount; ++candidate) {
    std::string name = "n" + std::to_string(candidate);
    if ((TextHash(knownKey, name) & kSharedBits) == 0) crafted.push_back(std::move(name));
  }
  NumberedTexts knownKeyTable;
  knownKeyTable.hashKey = knownKey;
  EXPECT_GT(ProbesToNumber(std::move(knownKeyTable), crafted), std::uint64_t{kCount} * kCount / 4);
  EXPECT_LT(ProbesToNumber(NumberedTexts{}, crafted), 4u * kCount);
}

// Whatever the key, names that differ only in their last digits, crafted or not, spread over the
// index as random hashes would: about two probes each, never four.
TEST(NumberText, NamesInSequenceCostLinearProbesUnderEveryKey) {
  constexpr std::uint32_t kCount = 500;
  std::vector<std::string> inSequence;
  for (std::uint32_t i = 0; i < kCount; ++i) inSequence.push_back("n" + std::to_string(i));
  for (std::uint64_t seed = 0; seed < 400; ++seed) {
    NumberedTexts table;
    table.hashKey = MakeTextHashKey({seed, ~seed});
    EXPECT_LT(ProbesToNumber(std::move(table), inSequence), 4u * kCount) << seed;
  }
}

}  // namespace
}  // namespace korvo
