#include "aspectlist/text_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvo {
namespace {

TEST(TextStore, KeptCopiesNeverMove) {
  TextStore store;
  std::vector<std::string_view> kept;
  std::vector<std::string> originals;
  for (int i = 0; i < 20000; ++i) originals.push_back("text number " + std::to_string(i));
  originals.push_back(std::string(200000, 'b'));  // larger than any block
  originals.push_back("");
  originals.push_back("after the big one");
  for (const std::string& text : originals) kept.push_back(KeepText(store, text));
  for (std::size_t i = 0; i < originals.size(); ++i) {
    EXPECT_EQ(kept[i], originals[i]) << i;
    if (!originals[i].empty()) {
      EXPECT_NE(kept[i].data(), originals[i].data()) << i;
    }
  }
}

}  // namespace
}  // namespace korvo
