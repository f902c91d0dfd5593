#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "aspectlist/numbered_texts.h"

namespace korvo {

inline constexpr std::int32_t kLargestOrbSeconds = std::numeric_limits<std::int32_t>::max();

inline constexpr char kDegreeSign = '\xB0';

// The fields of one aspect line, as views into the line.
struct AspectFields {
  std::string_view aspect;
  std::string_view fromPlanet;
  std::string_view toPlanet;
  std::string_view orbText;                      // the orb as written, without its sign
  std::int32_t orbSeconds = kLargestOrbSeconds;  // the orb's size; the sign is not applied
  char orbSign = ' ';                            // the byte before the orb digits, or a space
};

// One aspect between two planets with its orb, read once and never moved. Its texts are numbers
// in the list's tables of texts, so an entry is 24 bytes and two names are the same exactly when
// their numbers are.
struct AspectEntry {
  std::uint32_t aspect = 0;      // in AspectList::aspectNames
  std::uint32_t fromPlanet = 0;  // in AspectList::planetNames
  std::uint32_t toPlanet = 0;    // in AspectList::planetNames
  std::uint32_t orbText = 0;     // in AspectList::orbTexts
  std::int32_t orbSeconds = kLargestOrbSeconds;
  char orbSign = ' ';
};

// The entries in the order they were read, and the texts they refer to: each distinct aspect
// name, planet name and orb text kept once. From-planets and to-planets share one table, so a
// mirrored entry's planets are numbered like any other.
struct AspectList {
  std::vector<AspectEntry> entries;
  NumberedTexts aspectNames;
  NumberedTexts planetNames;
  NumberedTexts orbTexts;
};

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

// The fields that an aspect line describes; nothing when the line lacks one of the three things
// an aspect line must hold: a whitespace byte, a '-' after the whitespace that follows the aspect
// name, and a 0xB0 after that '-'.
std::optional<AspectFields> ParseAspectLine(std::string_view line);

// Whether an orb text is written whole: digits and 0xB0, then optionally digits and the
// apostrophe, then optionally digits and the double quote, then nothing but whitespace.
bool IsCompleteOrb(std::string_view orbText);

// Whether `line` is an aspect line whose orb is written whole: a header line of this kind was
// most likely meant as an aspect.
bool IsCompleteAspectLine(std::string_view line);

// Appends the entry of `fields` to the list, numbering its texts; a text not seen before is
// kept, so the line the fields point into may be reused afterwards.
void AddEntry(AspectList& list, const AspectFields& fields);

}  // namespace korvo
