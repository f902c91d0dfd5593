#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "aspectlist/text_store.h"

namespace korvo {

inline constexpr std::int32_t kLargestOrbSeconds = std::numeric_limits<std::int32_t>::max();

// The text of every field of a default entry: four 0xFF bytes, shared by all of them.
inline constexpr std::string_view kDefaultEntryText = "\xFF\xFF\xFF\xFF";

inline constexpr char kDegreeSign = '\xB0';

// One aspect between two planets with its orb. Its texts refer into one kept copy of its input
// line, shared by every copy of the entry, so entries are cheap plain values.
struct AspectEntry {
  std::string_view aspect = kDefaultEntryText;
  std::string_view fromPlanet = kDefaultEntryText;
  std::string_view toPlanet = kDefaultEntryText;
  std::string_view orbText = kDefaultEntryText;  // the orb as written, without its sign
  std::int32_t orbSeconds = kLargestOrbSeconds;  // the orb's size; the sign is not applied
  char orbSign = ' ';                            // the byte before the orb digits, or a space
};

using AspectList = std::vector<AspectEntry>;

// Whitespace is exactly the bytes 0x09 to 0x0D and 0x20; the zero byte and bytes from 0x80 up
// are neither whitespace nor digits.
inline bool IsWhitespace(char byte) {
  return byte == ' ' || (byte >= '\t' && byte <= '\r');
}
inline bool IsDigit(char byte) {
  return byte >= '0' && byte <= '9';
}

// The orb in seconds of arc: degrees, minutes and seconds each closed by its mark (0xB0,
// apostrophe, double quote). Digits after the last mark are not counted, and the value is
// capped at the largest 32-bit value instead of wrapping.
std::int32_t OrbSecondsOf(std::string_view orbText);

// Whether `line` holds the three things an aspect line must hold: a whitespace byte, a '-' after
// the whitespace that follows the aspect name, and a 0xB0 after that '-'.
bool IsAspectLine(std::string_view line);

// Whether an entry's sign byte is one the orb is written with: '+', '-' or whitespace (a space).
inline bool IsOrbSign(char sign) {
  return sign == ' ' || sign == '+' || sign == '-';
}

// The entry that an aspect line describes, its texts kept in `store`; nothing when the line
// lacks one of the three things an aspect line must hold: a whitespace byte, a '-' after the
// whitespace that follows the aspect name, and a 0xB0 after that '-'.
std::optional<AspectEntry> ParseAspectLine(std::string_view line, TextStore& store);

}  // namespace korvo
