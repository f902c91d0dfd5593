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
  EXPECT_LE(table.comparedTexts, kCount / 7 + 1);
}

}  // namespace
}  // namespace korvo
