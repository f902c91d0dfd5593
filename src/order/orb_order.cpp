#include "order/orb_order.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace korvo {
namespace {

// Each place is sorted as one 64-bit number: the orb seconds of its entry, shifted so that
// unsigned order is signed order, above the entry's reference. Only these numbers move while
// sorting, and the sorted order is their low halves.
using SortKey = std::uint64_t;
constexpr int kReferenceBits = 32;
constexpr std::uint32_t kSignFlip = 0x80000000u;

FilledArray<SortKey> SortKeys(const AspectList& list, const EntryOrder& order) {
  FilledArray<SortKey> keys(order.size());
  for (std::size_t place = 0; place < order.size(); ++place) {
    const auto orb = static_cast<std::uint32_t>(EntryAt(list, order[place]).orbSeconds) ^ kSignFlip;
    keys[place] = (SortKey{orb} << kReferenceBits) | order[place];
  }
  return keys;
}

// Sorts the keys by their orb half, one byte at a time from the lowest (a stable counting sort
// per byte, so equal orbs keep their order), skipping the bytes in which all orbs agree. Typical
// orbs differ only in their two lowest bytes, so this is two passes over the keys.
void RadixSortByOrb(FilledArray<SortKey>& keys) {
  FilledArray<SortKey> scratch;
  for (int shift = kReferenceBits; shift < 64; shift += 8) {
    std::array<std::size_t, 256> counts{};
    for (const SortKey key : keys) ++counts[(key >> shift) & 0xFF];
    if (std::find(counts.begin(), counts.end(), keys.size()) != counts.end()) continue;
    std::size_t start = 0;
    for (std::size_t& count : counts) start += std::exchange(count, start);
    scratch.resize(keys.size());
    for (const SortKey key : keys) scratch[counts[(key >> shift) & 0xFF]++] = key;
    keys.swap(scratch);
  }
}

}  // namespace

void SortByOrb(const AspectList& list, EntryOrder& order) {
  FilledArray<SortKey> keys = SortKeys(list, order);
  RadixSortByOrb(keys);
  for (std::size_t place = 0; place < order.size(); ++place) {
    order[place] = static_cast<EntryRef>(keys[place]);
  }
}

}  // namespace korvo
