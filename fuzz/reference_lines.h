#pragma once

// A second, deliberately naive reading of the line and aspect-line rules, used by the fuzz
// targets as an oracle: the program's readers must agree with it on every input.

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_encoding.h"

namespace korvo::fuzz {

// Stops the fuzzer with a message; libFuzzer keeps the input that got here.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "check failed: %s\n", what);
  std::abort();
}

inline void Check(bool condition, const char* what) {
  if (!condition) Fail(what);
}

struct ReferenceLine {
  std::string text;  // at most 127 bytes, no line end, nothing from the first zero byte on
  bool wasCut = false;
  bool endedAtZeroByte = false;    // a zero byte ended the text and more bytes followed
  long charactersWithoutForm = 0;  // characters of a converted line written as '?'
  bool readAsUtf8 = false;
};

// The code-page byte of a character, found by looking through the code page's 256 bytes; -1 when
// none stands for it.
inline int ReferenceCodePageByte(char32_t character, CodePage codePage) {
  for (int byte = 0; byte < 256; ++byte) {
    if (UnicodeOfCodePageByte(static_cast<unsigned char>(byte), codePage) ==
        static_cast<int>(character)) {
      return byte;
    }
  }
  return -1;
}

// The characters of a whole byte sequence when it is valid UTF-8: each character is decoded by
// the length its first byte announces, and afterwards checked for the shortest form, surrogates
// and the U+10FFFF limit.
inline std::optional<std::u32string> ReferenceUtf8(std::string_view bytes) {
  std::u32string characters;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    std::size_t length = 0;
    char32_t character = 0;
    if (first < 0x80) {
      length = 1;
      character = first;
    } else if ((first & 0xE0) == 0xC0) {
      length = 2;
      character = first & 0x1F;
    } else if ((first & 0xF0) == 0xE0) {
      length = 3;
      character = first & 0x0F;
    } else if ((first & 0xF8) == 0xF0) {
      length = 4;
      character = first & 0x07;
    } else {
      return std::nullopt;
    }
    if (i + length > bytes.size()) return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      character = (character << 6) | (next & 0x3F);
    }
    const char32_t shortest = length == 1 ? 0 : length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (character < shortest || character > 0x10FFFF) return std::nullopt;
    if (character >= 0xD800 && character <= 0xDFFF) return std::nullopt;
    characters.push_back(character);
    i += length;
  }
  return characters;
}

// The characters of UTF-16 bytes: surrogate pairs joined, an unpaired surrogate kept as it is
// (no code page has a form for it), a last odd byte read as U+FFFF (nor for that).
inline std::u32string ReferenceUtf16(std::string_view bytes, bool littleEndian) {
  std::vector<char32_t> units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(littleEndian ? (char32_t{b} << 8 | a) : (char32_t{a} << 8 | b));
  }
  if (bytes.size() % 2 == 1) units.push_back(0xFFFF);
  std::u32string characters;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const bool high = units[i] >= 0xD800 && units[i] <= 0xDBFF;
    if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      characters.push_back(0x10000 + ((units[i] - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else {
      characters.push_back(units[i]);
    }
  }
  return characters;
}

// A text of characters split into lines: at LF, a CR right before the LF dropped, the last line
// counted when it holds anything.
template <typename Text>
std::vector<Text> ReferenceSplit(const Text& text) {
  std::vector<Text> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && text[end] != '\n') ++end;
    Text line = text.substr(start, end - start);
    if (end < text.size() && !line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

inline std::string ReferenceToCodePage(const std::u32string& characters, CodePage codePage,
                                       long& withoutForm) {
  std::string bytes;
  for (const char32_t character : characters) {
    const int byte = ReferenceCodePageByte(character, codePage);
    if (byte < 0) ++withoutForm;
    bytes.push_back(byte < 0 ? '?' : static_cast<char>(byte));
  }
  return bytes;
}

// The cut at 127 bytes and the zero byte, on the line's code-page bytes.
inline void ReferenceFinish(ReferenceLine& line, std::string bytes) {
  line.wasCut = bytes.size() > 127;
  std::string text = bytes.substr(0, 127);
  const std::size_t zero = text.find('\0');
  if (zero != std::string::npos) {
    line.endedAtZeroByte = bytes.size() > zero + 1;
    text.resize(zero);
  }
  line.text = text;
}

// The lines of a file as the run's code page has them. A UTF-16 mark makes the whole file
// UTF-16; a UTF-8 mark is dropped; a line with a byte of 0x80 or more that is valid UTF-8 is
// converted; any other line is taken as it is.
inline std::vector<ReferenceLine> ReferenceLines(std::string_view data, CodePage codePage) {
  std::vector<ReferenceLine> lines;
  const bool littleEndian = data.starts_with("\xFF\xFE");
  if (littleEndian || data.starts_with("\xFE\xFF")) {
    for (const std::u32string& characters :
         ReferenceSplit(ReferenceUtf16(data.substr(2), littleEndian))) {
      ReferenceLine line;
      ReferenceFinish(line, ReferenceToCodePage(characters, codePage, line.charactersWithoutForm));
      lines.push_back(line);
    }
    return lines;
  }
  if (data.starts_with("\xEF\xBB\xBF")) data.remove_prefix(3);
  for (const std::string& raw : ReferenceSplit(std::string(data))) {
    ReferenceLine line;
    bool highByte = false;
    for (const char c : raw) highByte = highByte || static_cast<unsigned char>(c) >= 0x80;
    const std::optional<std::u32string> characters =
        highByte ? ReferenceUtf8(raw) : std::optional<std::u32string>();
    line.readAsUtf8 = characters.has_value();
    ReferenceFinish(
        line,
        characters ? ReferenceToCodePage(*characters, codePage, line.charactersWithoutForm) : raw);
    lines.push_back(line);
  }
  return lines;
}

inline bool ReferenceIsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// An aspect line holds a whitespace byte, then (after the whitespace run that follows the
// aspect name) a '-', then after that '-' a degree sign.
inline bool ReferenceIsAspectLine(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && !ReferenceIsSpace(line[i])) ++i;
  if (i == line.size()) return false;
  while (i < line.size() && ReferenceIsSpace(line[i])) ++i;
  while (i < line.size() && line[i] != '-') ++i;
  if (i == line.size()) return false;
  for (++i; i < line.size(); ++i) {
    if (line[i] == '\xB0') return true;
  }
  return false;
}

// How many entries an aspects list yields: body lines (after the four header lines) that hold
// a degree sign and are aspect lines.
inline std::size_t ReferenceEntryCount(const std::vector<ReferenceLine>& lines) {
  std::size_t count = 0;
  for (std::size_t i = 4; i < lines.size(); ++i) {
    if (lines[i].text.find('\xB0') != std::string::npos && ReferenceIsAspectLine(lines[i].text)) {
      ++count;
    }
  }
  return count;
}

}  // namespace korvo::fuzz
