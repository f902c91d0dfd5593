#pragma once

#include <cstdint>

namespace korvo {

// The single-byte code page a run reads and writes text in.
enum class CodePage : std::uint8_t { windows1251, windows1252 };

// A character that has no form in the code page is written as this byte.
inline constexpr char kNoFormByte = '?';

// The code-page byte of a Unicode character, or nothing (-1) when the code page has no form for
// it. Characters below 0x80 are their own byte in both code pages.
int CodePageByte(char32_t character, CodePage codePage);

// The Unicode character a code-page byte stands for, or -1 for a byte the code page leaves
// undefined (0x98 in Windows-1251; 0x81, 0x8D, 0x8F, 0x90 and 0x9D in Windows-1252).
int UnicodeOfCodePageByte(unsigned char byte, CodePage codePage);

// Decodes UTF-8 one byte at a time, accepting only what RFC 3629 allows: the shortest form of
// each character, no surrogates, nothing above U+10FFFF.
struct Utf8Decoder {
  char32_t character = 0;
  int bytesStillNeeded = 0;
  unsigned char lowestNextByte = 0x80;  // the range the next continuation byte must fall in
  unsigned char highestNextByte = 0xBF;
};

enum class Utf8Step : std::uint8_t { needMore, character, invalid };

// Takes the next byte; on `character` the decoded character is in decoder.character. After
// `invalid` the decoder must not be used further.
Utf8Step DecodeUtf8Byte(Utf8Decoder& decoder, unsigned char byte);

}  // namespace korvo
