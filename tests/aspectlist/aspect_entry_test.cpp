#include "aspectlist/aspect_entry.h"

#include <gtest/gtest.h>

namespace korvo {
namespace {

TEST(ParseAspectLine, Placeholder) {
  TextStore store;
  const auto entry = ParseAspectLine("Conjunction Sun-Moon +1\xB0" "23'45\"", store);
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->orbSeconds, 5025);
}

}  // namespace
}  // namespace korvo
