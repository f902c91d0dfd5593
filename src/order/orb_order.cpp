#include "order/orb_order.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "order/reorder.h"

namespace korvo {
namespace {

// Each entry is sorted as one 64-bit number: its orb seconds, shifted so that unsigned order is
// signed order, above its position in the list. Equal orbs then keep their order, which makes
// the sort stable, and only these numbers move while sorting; each entry moves once at the end.
using SortKey = std::uint64_t;
constexpr int kPositionBits = 32;
constexpr std::uint32_t kSignFlip = 0x80000000u;

std::vector<SortKey> SortKeys(const AspectList& aspects) {
  std::vector<SortKey> keys(aspects.size());
  for (std::size_t position = 0; position < aspects.size(); ++position) {
    const auto orb = static_cast<std::uint32_t>(aspects[position].orbSeconds) ^ kSignFlip;
    keys[position] = (SortKey{orb} << kPositionBits) | position;
  }
  return keys;
}

// Sorts the keys by their orb half, one byte at a time from the lowest (a stable counting sort
// per byte), skipping the bytes in which all orbs agree. Typical orbs differ only in their two
// lowest bytes, so this is two passes over the keys.
void RadixSortByOrb(std::vector<SortKey>& keys) {
  std::vector<SortKey> scratch(keys.size());
  for (int shift = kPositionBits; shift < 64; shift += 8) {
    std::array<std::size_t, 256> counts{};
    for (const SortKey key : keys) ++counts[(key >> shift) & 0xFF];
    if (std::find(counts.begin(), counts.end(), keys.size()) != counts.end()) continue;
    std::size_t start = 0;
    for (std::size_t& count : counts) start += std::exchange(count, start);
    for (const SortKey key : keys) scratch[counts[(key >> shift) & 0xFF]++] = key;
    keys.swap(scratch);
  }
}

// The position of the entry that belongs at each place: the low half of each sorted key.
std::vector<std::uint32_t> SourcePositions(const std::vector<SortKey>& keys) {
  std::vector<std::uint32_t> sourceOf(keys.size());
  for (std::size_t place = 0; place < keys.size(); ++place) {
    sourceOf[place] = static_cast<std::uint32_t>(keys[place]);
  }
  return sourceOf;
}

}  // namespace

void SortByOrb(AspectList& aspects) {
  if (aspects.size() > std::numeric_limits<std::uint32_t>::max()) {
    // Positions no longer fit beside the orb; such a list does not fit in memory anyway.
    std::stable_sort(aspects.begin(), aspects.end(),
                     [](const AspectEntry& first, const AspectEntry& second) {
                       return first.orbSeconds < second.orbSeconds;
                     });
    return;
  }
  std::vector<SortKey> keys = SortKeys(aspects);
  RadixSortByOrb(keys);
  std::vector<std::uint32_t> sourceOf = SourcePositions(keys);
  keys = {};
  ReorderInPlace(aspects, sourceOf);
}

}  // namespace korvo
