#include "aspectlist/text_store.h"

#include <algorithm>
#include <cstring>

namespace korvo {
namespace {
constexpr std::size_t kBlockSize = 1 << 16;
}

std::string_view KeepText(TextStore& store, std::string_view text) {
  if (store.blocks.empty() || store.lastBlockSize - store.usedInLastBlock < text.size()) {
    store.lastBlockSize = std::max(kBlockSize, text.size());
    store.blocks.push_back(std::make_unique<char[]>(store.lastBlockSize));
    store.usedInLastBlock = 0;
  }
  char* copy = store.blocks.back().get() + store.usedInLastBlock;
  if (!text.empty()) std::memcpy(copy, text.data(), text.size());
  store.usedInLastBlock += text.size();
  return {copy, text.size()};
}

}  // namespace korvo
