#include "aspectlist/numbered_texts.h"

#include <cstring>

namespace korvo {
namespace {

constexpr std::size_t kFirstSlotCount = 64;
constexpr std::uint64_t kNumberMask = 0xFFFFFFFFu;
constexpr int kHashShift = 32;

// A multiply-and-rotate hash over eight bytes at a time: names are short, so this is a few
// steps per name.
std::uint32_t HashOf(std::string_view text) {
  constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15u;
  std::uint64_t hash = text.size() * kMultiplier;
  std::size_t position = 0;
  for (; position + 8 <= text.size(); position += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + position, 8);
    hash = ((hash ^ word) * kMultiplier);
    hash ^= hash >> 29;
  }
  std::uint64_t tail = 0;
  if (position < text.size()) std::memcpy(&tail, text.data() + position, text.size() - position);
  hash = (hash ^ tail) * kMultiplier;
  hash ^= hash >> 32;
  return static_cast<std::uint32_t>(hash);
}

std::uint64_t SlotOf(std::uint32_t hash, std::uint32_t number) {
  return (std::uint64_t{hash} << kHashShift) | (std::uint64_t{number} + 1);
}

// The number of the text a filled slot holds.
std::uint32_t NumberInSlot(std::uint64_t held) {
  return static_cast<std::uint32_t>((held & kNumberMask) - 1);
}

// The slot that holds `text`, or the empty slot where it would go.
std::size_t FindSlot(const NumberedTexts& texts, std::string_view text, std::uint32_t hash,
                     std::uint64_t& comparedTexts) {
  const std::size_t mask = texts.slots.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint64_t held = texts.slots[slot];
    if (held == 0) return slot;
    if ((held >> kHashShift) != hash) continue;
    ++comparedTexts;
    if (TextOf(texts, NumberInSlot(held)) == text) return slot;
  }
}

// Doubles the index when it is half full, so that a look-up ends after a slot or two.
void GrowSlots(NumberedTexts& texts) {
  std::vector<std::uint64_t> slots(texts.slots.empty() ? kFirstSlotCount : 2 * texts.slots.size());
  const std::size_t mask = slots.size() - 1;
  for (std::uint32_t number = 0; number < TextCount(texts); ++number) {
    const std::uint32_t hash = HashOf(TextOf(texts, number));
    std::size_t slot = hash & mask;
    while (slots[slot] != 0) slot = (slot + 1) & mask;
    slots[slot] = SlotOf(hash, number);
  }
  texts.slots.swap(slots);
}

}  // namespace

std::uint32_t NumberText(NumberedTexts& texts, std::string_view text) {
  if (2 * (TextCount(texts) + 1) > texts.slots.size()) GrowSlots(texts);
  const std::uint32_t hash = HashOf(text);
  const std::size_t slot = FindSlot(texts, text, hash, texts.comparedTexts);
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
  std::uint64_t comparisonsNotCounted = 0;
  const std::size_t slot = FindSlot(texts, text, HashOf(text), comparisonsNotCounted);
  return texts.slots[slot] == 0 ? kNoText : NumberInSlot(texts.slots[slot]);
}

}  // namespace korvo
