#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace korvo {
namespace {

TEST(TextEncoding, EveryDefinedCodePageByteComesBackFromItsCharacter) {
  for (const CodePage codePage : {CodePage::windows1251, CodePage::windows1252}) {
    int undefined = 0;
    for (int byte = 0; byte < 256; ++byte) {
      const int character = UnicodeOfCodePageByte(static_cast<unsigned char>(byte), codePage);
      if (character < 0) {
        ++undefined;
        continue;
      }
      EXPECT_EQ(CodePageByte(static_cast<char32_t>(character), codePage), byte) << byte;
    }
    EXPECT_EQ(undefined, codePage == CodePage::windows1251 ? 1 : 5);
  }
}

TEST(TextEncoding, CharactersAndTheirCodePageBytes) {
  struct Row {
    char32_t character;
    CodePage codePage;
    int byte;
  };
  constexpr CodePage ru = CodePage::windows1251;
  constexpr CodePage en = CodePage::windows1252;
  const Row rows[] = {
      {U'A', ru, 'A'},     {U'\0', en, 0},      {U'\x7F', en, 0x7F}, {U'°', ru, 0xB0},
      {U'°', en, 0xB0},    {U'а', ru, 0xE0},    {U'я', ru, 0xFF},    {U'Ё', ru, 0xA8},
      {U'№', ru, 0xB9},    {U'€', ru, 0x88},    {U'€', en, 0x80},    {U'™', en, 0x99},
      {U'é', en, 0xE9},    {U'é', ru, -1},      {U'а', en, -1},      {U'\u0098', ru, -1},
      {U'\u0081', en, -1}, {U'\u009D', en, -1}, {U'\u0080', en, -1}, {U'\U0001F600', ru, -1},
      {U'\uFEFF', en, -1}, {U'\u2123', en, -1}, {U'\uFFFF', ru, -1},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CodePageByte(row.character, row.codePage), row.byte)
        << static_cast<unsigned long>(row.character);
  }
}

TEST(TextEncoding, CodePageTextsInUtf8) {
  struct Row {
    std::string text;
    CodePage codePage;
    std::string utf8;
  };
  const Row rows[] = {
      {"Sun 2\xB0", CodePage::windows1252, "Sun 2°"},
      {"\xD1\xEE\xEB\xED\xF6\xE5 \xA8\xB8", CodePage::windows1251, "Солнце Ёё"},
      {"\xD2\xD0\xC8\xCD \x80", CodePage::windows1252, "ÒÐÈÍ €"},
      {"\x81\x8D", CodePage::windows1252, "??"},  // bytes with no character
      {"\x98\x81", CodePage::windows1251, "?Ѓ"},
      {"\x99", CodePage::windows1251, "™"},  // three bytes in UTF-8
  };
  for (const Row& row : rows) EXPECT_EQ(CodePageToUtf8(row.text, row.codePage), row.utf8);
}

// The characters that a whole byte sequence decodes to, or nothing when it is not valid UTF-8.
std::optional<std::u32string> Decode(const std::string& bytes) {
  Utf8Decoder decoder;
  std::u32string characters;
  for (const char byte : bytes) {
    switch (DecodeUtf8Byte(decoder, static_cast<unsigned char>(byte))) {
      case Utf8Step::needMore:
        break;
      case Utf8Step::invalid:
        return std::nullopt;
      case Utf8Step::character:
        characters.push_back(decoder.character);
        break;
    }
  }
  if (decoder.bytesStillNeeded != 0) return std::nullopt;
  return characters;
}

TEST(TextEncoding, DecodesOnlyWhatUtf8Allows) {
  struct Row {
    std::string bytes;
    std::optional<std::u32string> characters;
  };
  const Row rows[] = {
      {"", U""},
      {"a\xC2\xB0", U"a°"},
      {"\xD0\xB0\xD1\x8F", U"ая"},
      {"\xE2\x82\xAC", U"€"},
      {"\xF0\x9F\x98\x80", U"\U0001F600"},
      {"\xF4\x8F\xBF\xBF", U"\U0010FFFF"},
      {"\xEF\xBB\xBF", U"\uFEFF"},
      {"\xED\x9F\xBF", U"\uD7FF"},  // the last character before the surrogates
      {"\xEE\x80\x80", U"\uE000"},  // the first after them
      {"\xC0\x80", std::nullopt},   // overlong forms
      {"\xC1\xBF", std::nullopt},
      {"\xE0\x9F\xBF", std::nullopt},
      {"\xF0\x8F\xBF\xBF", std::nullopt},
      {"\xED\xA0\x80", std::nullopt},  // surrogates
      {"\xED\xBF\xBF", std::nullopt},
      {"\xF4\x90\x80\x80", std::nullopt},  // above U+10FFFF
      {"\xF5\x80\x80\x80", std::nullopt},
      {"\xFF", std::nullopt},
      {"\xB0", std::nullopt},  // a continuation byte alone
      {"\xD0", std::nullopt},  // a character cut off
      {"\xE2\x82", std::nullopt},
      {"\xD0"
       "a",
       std::nullopt},  // a lead byte without its continuation
      {"\xC2\xB0\xB0", std::nullopt},
      // Windows-1251 words: a letter from 0xC0 up needs 0x80-0xBF after it.
      {"\xC2\xE5\xED\xE5\xF0\xE0", std::nullopt},  // Венера
      {"2\xB0"
       "04'",
       std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Decode(row.bytes), row.characters) << ::testing::PrintToString(row.bytes);
  }
}

}  // namespace
}  // namespace korvo
