#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/random_key.h"

namespace korvo {

// Zero bytes kept after the last text, so that the first kTextReadSlack bytes from the start of any
// text may be read at once: a short text is then copied in one fixed-size move.
inline constexpr std::size_t kTextReadSlack = 32;

// The texts a keyed hash tells apart however they were chosen: every text of a file fits a line.
inline constexpr std::size_t kKeyedTextBytes = 128;

// The random numbers of a keyed hash: one multiplier for each four bytes of a text, one for its
// length and one added.
struct TextHashKey {
  std::array<std::uint64_t, kKeyedTextBytes / 4 + 2> numbers{};
};

// The key whose numbers are derived from `seed`: the same seed, the same key.
TextHashKey MakeTextHashKey(const RandomKey& seed);

// What the look-ups of NumberText have cost so far, for tests of that cost.
struct LookUpCost {
  std::uint64_t probedSlots = 0;    // slots of the index looked at
  std::uint64_t comparedTexts = 0;  // byte comparisons with a text whose hash matched
};

// Distinct texts numbered 0, 1, 2, ... in order of first appearance. Each text is kept once, and
// its number is found by a hash of its bytes; the bytes are compared only with a text whose hash
// matches, so a list's names cost one comparison each however long the list. Two texts are the
// same when they have the same bytes: case counts, nothing is trimmed. The hash is keyed with a
// key drawn for each table, so that no list can be made whose names fall on one slot: with a
// hash known in advance, names chosen to collide made numbering them quadratic. The numbers, and
// so all that a run writes, do not depend on the key.
struct NumberedTexts {
  std::string bytes = std::string(kTextReadSlack, '\0');  // each distinct text once, then zeros
  std::vector<std::uint64_t> starts{0};  // text k is bytes[starts[k], starts[k + 1])
  std::vector<std::uint64_t> slots;      // hash index: the hash's high half, then number + 1
  TextHashKey hashKey = MakeTextHashKey(MakeRandomKey());  // set before the first text
  LookUpCost cost;
};

inline constexpr std::uint32_t kNoText = std::numeric_limits<std::uint32_t>::max();

// The keyed hash by which a table finds a text. For texts of up to kKeyedTextBytes, two texts
// share any chosen bits of it only as often as chance has it, for a key nobody knows.
std::uint32_t TextHash(const TextHashKey& key, std::string_view text);

// The number of `text`, which is kept and given the next number when it is new.
std::uint32_t NumberText(NumberedTexts& texts, std::string_view text);

// The number of `text`, or kNoText when it has none.
std::uint32_t FindText(const NumberedTexts& texts, std::string_view text);

inline std::size_t TextCount(const NumberedTexts& texts) {
  return texts.starts.size() - 1;
}

inline std::string_view TextOf(const NumberedTexts& texts, std::uint32_t number) {
  const std::uint64_t start = texts.starts[number];
  return std::string_view(texts.bytes).substr(start, texts.starts[number + 1] - start);
}

}  // namespace korvo
