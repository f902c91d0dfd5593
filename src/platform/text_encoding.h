#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvo {

// The single-byte code page a run reads and writes text in.
enum class CodePage : std::uint8_t { windows1251, windows1252 };

// A character that has no form in the code page is written as this byte.
inline constexpr char kNoFormByte = '?';

// The code-page byte of a Unicode character, or -1 when the code page has no form for it.
// Characters below 0x80 are their own byte in both code pages.
int CodePageByte(char32_t character, CodePage codePage);

// The Unicode character a code-page byte stands for, or -1 for a byte the code page leaves
// undefined (0x98 in Windows-1251; 0x81, 0x8D, 0x8F, 0x90 and 0x9D in Windows-1252).
int UnicodeOfCodePageByte(unsigned char byte, CodePage codePage);

// A code-page text in UTF-8: each byte as its character, a byte the code page leaves undefined
// as '?'.
std::string CodePageToUtf8(std::string_view text, CodePage codePage);

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
// `invalid` the decoder must not be used further. Inline: it runs once for every byte of a
// UTF-8 line.
inline Utf8Step DecodeUtf8Byte(Utf8Decoder& decoder, unsigned char byte) {
  if (decoder.bytesStillNeeded == 0) {
    decoder.lowestNextByte = 0x80;
    decoder.highestNextByte = 0xBF;
    if (byte < 0x80) {
      decoder.character = byte;
      return Utf8Step::character;
    }
    if (byte >= 0xC2 && byte <= 0xDF) {  // C0 and C1 could only start overlong forms
      decoder.character = byte & 0x1Fu;
      decoder.bytesStillNeeded = 1;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      decoder.character = byte & 0x0Fu;
      decoder.bytesStillNeeded = 2;
      if (byte == 0xE0) decoder.lowestNextByte = 0xA0;   // shorter forms exist below U+0800
      if (byte == 0xED) decoder.highestNextByte = 0x9F;  // U+D800 to U+DFFF are surrogates
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      decoder.character = byte & 0x07u;
      decoder.bytesStillNeeded = 3;
      if (byte == 0xF0) decoder.lowestNextByte = 0x90;   // shorter forms exist below U+10000
      if (byte == 0xF4) decoder.highestNextByte = 0x8F;  // nothing above U+10FFFF
    } else {
      return Utf8Step::invalid;
    }
    return Utf8Step::needMore;
  }
  if (byte < decoder.lowestNextByte || byte > decoder.highestNextByte) return Utf8Step::invalid;
  decoder.lowestNextByte = 0x80;
  decoder.highestNextByte = 0xBF;
  decoder.character = (decoder.character << 6) | (byte & 0x3Fu);
  return --decoder.bytesStillNeeded == 0 ? Utf8Step::character : Utf8Step::needMore;
}

}  // namespace korvo
