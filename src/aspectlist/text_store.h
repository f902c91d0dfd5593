#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace korvo {

// Keeps copies of texts for the whole run. The copies never move, so views into them stay valid
// as long as the store lives; they are released only with the store.
struct TextStore {
  std::vector<std::unique_ptr<char[]>> blocks;
  std::size_t usedInLastBlock = 0;
  std::size_t lastBlockSize = 0;
};

std::string_view KeepText(TextStore& store, std::string_view text);

}  // namespace korvo
