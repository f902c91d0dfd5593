#include "aspectlist/numbered_texts.h"

#include <cstring>

namespace korvo {
namespace {

constexpr std::size_t kFirstSlotCount = 64;
constexpr std::uint64_t kNumberMask = 0xFFFFFFFFu;
constexpr int kHashShift = 32;

constexpr std::size_t kChunkBytes = 4;
constexpr std::size_t kKeyedChunks = kKeyedTextBytes / kChunkBytes;
constexpr int kSumShift = 32;

// One step of a 64-bit mixing sequence: each step gives a number whose bits all depend on the
// state.
std::uint64_t NextMixed(std::uint64_t& state) {
  state += 0x9E3779B97F4A7C15u;
  std::uint64_t mixed = state;
  mixed = (mixed ^ (mixed >> 30)) * 0xBF58476D1CE4E5B9u;
  mixed = (mixed ^ (mixed >> 27)) * 0x94D049BB133111EBu;
  return mixed ^ (mixed >> 31);
}

// A fixed bijection of 64 bits whose top half depends on every bit of `sum`: the high bits are
// folded into the low ones, and the product carries the low ones up.
std::uint64_t MixedBits(std::uint64_t sum) {
  return (sum ^ (sum >> 32)) * 0xBF58476D1CE4E5B9u;
}

// The multiplier of the four bytes from `chunk` times four on.
std::uint64_t ChunkMultiplier(const TextHashKey& key, std::size_t chunk) {
  return key.numbers[2 + chunk % kKeyedChunks];
}

}  // namespace

TextHashKey MakeTextHashKey(const RandomKey& seed) {
  TextHashKey key;
  std::uint64_t first = seed[0];
  std::uint64_t second = seed[1];
  for (std::uint64_t& number : key.numbers) number = NextMixed(first) ^ NextMixed(second);
  return key;
}

// Multiply-shift over the text's four-byte chunks, its length and an added number, all random:
// two texts of up to kKeyedTextBytes have the same sum only as often as chance has it. It costs a
// multiplication for each four bytes. The sum is then mixed, since the index takes its slot from
// the low bits of the hash: unmixed, names that differ in a digit or two ("n1" to "n500") gave
// sums whose low bits ran in step, and for about one key in twenty-five they filled runs of slots,
// up to a hundred probes a name.
std::uint32_t TextHash(const TextHashKey& key, std::string_view text) {
  std::uint64_t sum = key.numbers[0] + key.numbers[1] * text.size();
  std::size_t chunk = 0;
  std::size_t position = 0;
  for (; position + kChunkBytes <= text.size(); position += kChunkBytes, ++chunk) {
    std::uint32_t word;
    std::memcpy(&word, text.data() + position, kChunkBytes);
    sum += ChunkMultiplier(key, chunk) * word;
  }
  if (position < text.size()) {
    std::uint32_t tail = 0;
    std::memcpy(&tail, text.data() + position, text.size() - position);
    sum += ChunkMultiplier(key, chunk) * tail;
  }
  return static_cast<std::uint32_t>(MixedBits(sum) >> kSumShift);
}

namespace {

std::uint64_t SlotOf(std::uint32_t hash, std::uint32_t number) {
  return (std::uint64_t{hash} << kHashShift) | (std::uint64_t{number} + 1);
}

// The number of the text a filled slot holds.
std::uint32_t NumberInSlot(std::uint64_t held) {
  return static_cast<std::uint32_t>((held & kNumberMask) - 1);
}

// The slot that holds `text`, or the empty slot where it would go. The index is never full, so
// the slots looked at are those from the hash's own slot to the one found.
std::size_t FindSlot(const NumberedTexts& texts, std::string_view text, std::uint32_t hash,
                     LookUpCost& cost) {
  const std::size_t mask = texts.slots.size() - 1;
  const std::size_t first = hash & mask;
  std::size_t slot = first;
  for (;; slot = (slot + 1) & mask) {
    const std::uint64_t held = texts.slots[slot];
    if (held == 0) break;
    if ((held >> kHashShift) != hash) continue;
    ++cost.comparedTexts;
    if (TextOf(texts, NumberInSlot(held)) == text) break;
  }
  cost.probedSlots += ((slot - first) & mask) + 1;
  return slot;
}

// Doubles the index when it is half full, so that a look-up ends after a slot or two.
void GrowSlots(NumberedTexts& texts) {
  std::vector<std::uint64_t> slots(texts.slots.empty() ? kFirstSlotCount : 2 * texts.slots.size());
  const std::size_t mask = slots.size() - 1;
  for (std::uint32_t number = 0; number < TextCount(texts); ++number) {
    const std::uint32_t hash = TextHash(texts.hashKey, TextOf(texts, number));
    std::size_t slot = hash & mask;
    while (slots[slot] != 0) slot = (slot + 1) & mask;
    slots[slot] = SlotOf(hash, number);
  }
  texts.slots.swap(slots);
}

}  // namespace

std::uint32_t NumberText(NumberedTexts& texts, std::string_view text) {
  if (2 * (TextCount(texts) + 1) > texts.slots.size()) GrowSlots(texts);
  const std::uint32_t hash = TextHash(texts.hashKey, text);
  const std::size_t slot = FindSlot(texts, text, hash, texts.cost);
  if (texts.slots[slot] != 0) return NumberInSlot(texts.slots[slot]);
  const auto number = static_cast<std::uint32_t>(TextCount(texts));
  const std::uint64_t start = texts.starts.back();
  texts.bytes.insert(start, text);
  texts.starts.push_back(start + text.size());
  texts.slots[slot] = SlotOf(hash, number);
  return number;
}

std::uint32_t FindText(const NumberedTexts& texts, std::string_view text) {
  if (texts.slots.empty()) return kNoText;
  LookUpCost notCounted;
  const std::size_t slot = FindSlot(texts, text, TextHash(texts.hashKey, text), notCounted);
  return texts.slots[slot] == 0 ? kNoText : NumberInSlot(texts.slots[slot]);
}

}  // namespace korvo
