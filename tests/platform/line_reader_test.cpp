#include "platform/line_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace korvo {
namespace {

using test::ReadAllLines;
using test::ReadLine;

std::vector<std::string> Texts(const std::vector<ReadLine>& lines) {
  std::vector<std::string> texts;
  for (const ReadLine& line : lines) texts.push_back(line.text);
  return texts;
}

TEST(LineReader, SplitsLinesAtLineFeeds) {
  struct Row {
    std::string bytes;
    std::vector<std::string> lines;
  };
  using namespace std::string_literals;
  const Row rows[] = {
      {"", {}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},  // the CR of a CR LF is not part of the line
      {"a\nb", {"a", "b"}},        // a last line without LF counts once
      {"a\r\nb\r", {"a", "b\r"}},  // a CR that no LF follows stays
      {"a\rb\n", {"a\rb"}},        // a CR inside the line stays
      {"a\r\r\n", {"a\r"}},        // only the CR right before the LF goes
      {"\r", {"\r"}},
      {"\n", {""}},  // the end of the file adds no line
      {"\n\n", {"", ""}},
      {"\r\n\r\n", {"", ""}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\0b\nc"s, {"a", "c"}},  // a zero byte ends the line's text
      {"\0abc\n"s, {""}},
      {"a\0\r\n"s, {"a"}},
      {"\xB0\xFF\x80\n", {"\xB0\xFF\x80"}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Texts(ReadAllLines(row.bytes)), row.lines) << ::testing::PrintToString(row.bytes);
  }
}

TEST(LineReader, CutsLinesLongerThan127BytesAndGoesOn) {
  const std::string b127(127, 'x');
  struct Row {
    std::string bytes;
    std::vector<ReadLine> lines;
  };
  const Row rows[] = {
      {b127 + "\nnext", {{b127, false, 1}, {"next", false, 2}}},
      {b127 + "\r\nnext", {{b127, false, 1}, {"next", false, 2}}},  // the CR does not count
      {b127 + "y\nnext", {{b127, true, 1}, {"next", false, 2}}},
      {b127 + "y\r\nnext", {{b127, true, 1}, {"next", false, 2}}},
      {b127 + "\r\r\nnext", {{b127, true, 1}, {"next", false, 2}}},  // a CR of text counts
      {std::string(126, 'x') + "\r\r\n", {{std::string(126, 'x') + "\r", false, 1}}},
      {b127 + "\rz\nnext", {{b127, true, 1}, {"next", false, 2}}},
      {b127, {{b127, false, 1}}},
      {b127 + "y", {{b127, true, 1}}},
      {b127 + "\r", {{b127, true, 1}}},  // no LF follows, so the CR is a 128th byte
      {std::string(300, 'x') + "\n" + std::string(200, 'y') + "\nlast",
       {{b127, true, 1}, {std::string(127, 'y'), true, 2}, {"last", false, 3}}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ReadAllLines(row.bytes), row.lines) << ::testing::PrintToString(row.bytes);
  }
}

TEST(LineReader, AZeroByteInALongLineStillCutsIt) {
  // The cut is decided on the raw bytes; the zero byte then ends the text that is used.
  const std::string bytes = std::string("ab") + '\0' + std::string(200, 'z') + "\nnext";
  const std::vector<ReadLine> expected = {{"ab", true, 1}, {"next", false, 2}};
  EXPECT_EQ(ReadAllLines(bytes), expected);
}

TEST(LineReader, NumbersEveryLineFromOne) {
  const std::vector<ReadLine> expected = {
      {"one", false, 1}, {"", false, 2}, {std::string(127, 'l'), true, 3}, {"four", false, 4}};
  EXPECT_EQ(ReadAllLines("one\n\n" + std::string(128, 'l') + "\nfour\n"), expected);
}

// Filler lines of at most 100 bytes that make up exactly `length` bytes.
void AppendFiller(std::string& bytes, std::vector<std::string>& lines, std::size_t length) {
  while (length > 0) {
    const std::size_t lineLength = std::min<std::size_t>(length, 100);
    lines.push_back(std::string(lineLength - 1, 'f'));
    bytes += lines.back() + "\n";
    length -= lineLength;
  }
}

TEST(LineReader, ReadsLinesAcrossTheChunkBoundary) {
  constexpr std::size_t kChunk = 1 << 16;
  // Line ends placed on both sides of the 64 KiB boundary, also a CR LF split by it.
  for (std::size_t start = kChunk - 140; start <= kChunk + 2; ++start) {
    for (const char* lineEnd : {"\n", "\r\n"}) {
      std::string bytes;
      std::vector<std::string> lines;
      AppendFiller(bytes, lines, start);
      lines.push_back(std::string(50, 'a') + "\r" + std::string(20, 'b'));
      bytes += lines.back() + lineEnd;
      lines.push_back("after");
      bytes += lines.back() + lineEnd;
      ASSERT_EQ(Texts(ReadAllLines(bytes)), lines) << "line starting at " << start;
    }
  }
}

TEST(LineReader, CutsALongLineThatSpansTheChunkBoundary) {
  constexpr std::size_t kChunk = 1 << 16;
  for (const std::size_t start : {kChunk - 200, kChunk - 128, kChunk - 127, kChunk - 1}) {
    std::string bytes;
    std::vector<std::string> lines;
    AppendFiller(bytes, lines, start);
    bytes += std::string(127, 'L') + "\r\n" + std::string(300, 'M') + "\r\nend";
    const std::vector<ReadLine> read = ReadAllLines(bytes);
    ASSERT_EQ(read.size(), lines.size() + 3) << start;
    const std::size_t n = lines.size();
    EXPECT_EQ(read[n], (ReadLine{std::string(127, 'L'), false, static_cast<long>(n + 1)}));
    EXPECT_EQ(read[n + 1], (ReadLine{std::string(127, 'M'), true, static_cast<long>(n + 2)}));
    EXPECT_EQ(read[n + 2], (ReadLine{"end", false, static_cast<long>(n + 3)}));
  }
}

TEST(LineReader, AFailedReadIsNotTheEndOfTheFile) {
  using namespace std::string_literals;
  constexpr std::size_t kChunk = 1 << 16;
  const std::string firstRead = std::string(kChunk - 8, 'a') + "\nb\r\nhalf";
  struct Row {
    const char* what;
    std::vector<std::string> reads;
    std::vector<std::string> lines;
    bool failed;
  };
  const Row rows[] = {
      {"the first read fails", {}, {}, true},
      // The line the failure cut short ("half...") is dropped, the whole lines before it stay.
      {"a later read fails", {firstRead}, {std::string(127, 'a'), "b"}, true},
      {"a UTF-16 file", {"\xFF\xFEx\0\n\0y\0"s + std::string(kChunk - 8, 'z')}, {"x"}, true},
      {"the end of the file", {firstRead, "more"}, {std::string(127, 'a'), "b", "halfmore"}, false},
  };
  for (const Row& row : rows) {
    test::FailingReads buffer(row.reads);
    std::istream stream(&buffer);
    LineReader reader = MakeLineReader(stream, CodePage::windows1252);
    std::vector<std::string> lines;
    while (const std::optional<InputLine> line = NextLine(reader)) lines.emplace_back(line->text);
    EXPECT_EQ(lines, row.lines) << row.what;
    EXPECT_EQ(reader.readFailed, row.failed) << row.what;
    EXPECT_EQ(reader.lineNumber, static_cast<long>(row.lines.size())) << row.what;
    EXPECT_TRUE(reader.endReached) << row.what;
    EXPECT_FALSE(NextLine(reader)) << row.what;  // nothing more after the end or the failure
  }
}

// Every line read in a code page, with all that the reader tells of it, and of the file.
struct ConvertedLine {
  std::string text;
  bool wasCut = false;
  bool endedAtZeroByte = false;
  long charactersWithoutForm = 0;

  bool operator==(const ConvertedLine&) const = default;
};

void PrintTo(const ConvertedLine& line, std::ostream* out) {
  *out << ::testing::PrintToString(line.text) << " cut " << line.wasCut << " zero "
       << line.endedAtZeroByte << " without form " << line.charactersWithoutForm;
}

struct FileReading {
  std::vector<ConvertedLine> lines;
  long linesReadAsUtf8 = 0;
  FileEncoding encoding = FileEncoding::bytes;
};

FileReading ReadAs(const std::string& bytes, CodePage codePage) {
  std::istringstream stream(bytes);
  LineReader reader = MakeLineReader(stream, codePage);
  FileReading reading;
  while (const std::optional<InputLine> line = NextLine(reader)) {
    reading.lines.push_back({std::string(line->text), line->wasCut, line->endedAtZeroByte,
                             line->charactersWithoutForm});
  }
  EXPECT_TRUE(reader.endReached);
  reading.linesReadAsUtf8 = reader.linesReadAsUtf8;
  reading.encoding = reader.encoding;
  return reading;
}

// UTF-16 bytes of a text, with the byte-order mark of the chosen byte order in front.
std::string Utf16(std::u16string_view text, bool littleEndian = true) {
  std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
  for (const char16_t unit : text) {
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    bytes += littleEndian ? std::string{low, high} : std::string{high, low};
  }
  return bytes;
}

constexpr CodePage kRussian = CodePage::windows1251;
constexpr CodePage kEnglish = CodePage::windows1252;

TEST(LineReader, ReadsUtf8LinesAsTheRunsCodePage) {
  using namespace std::string_literals;
  struct Row {
    std::string bytes;
    CodePage codePage;
    std::vector<ConvertedLine> lines;
    long linesReadAsUtf8;
  };
  const Row rows[] = {
      {"Венера\r\n", kRussian, {{"\xC2\xE5\xED\xE5\xF0\xE0"}}, 1},
      {"Conjunction Sun-Mercury 2°04'02\"",
       kEnglish,
       {{"Conjunction Sun-Mercury 2\xB0"
         "04'02\""}},
       1},
      {"Sun\nМарс\nMoon\n", kRussian, {{"Sun"}, {"\xCC\xE0\xF0\xF1"}, {"Moon"}}, 1},
      {"€ ™ …", kEnglish, {{"\x80 \x99 \x85"}}, 1},
      {"€ №", kRussian, {{"\x88 \xB9"}}, 1},
      // Characters without a form in the code page become one '?' each.
      {"café 😀", kRussian, {{"caf? ?", false, false, 2}}, 1},
      {"Марс", kEnglish, {{"????", false, false, 4}}, 1},
      {"\xC2\x81\xC2\x8D", kEnglish, {{"??", false, false, 2}}, 1},  // undefined in 1252
      {"\xC2\x98", kRussian, {{"?", false, false, 1}}, 1},           // undefined in 1251
      // Lines that are not valid UTF-8, and lines without high bytes, stay as they are.
      {"\xC2\xE5\xED\xE5\xF0\xE0\n", kRussian, {{"\xC2\xE5\xED\xE5\xF0\xE0"}}, 0},
      {"2\xB0"
       "04'\n",
       kEnglish,
       {{"2\xB0"
         "04'"}},
       0},
      {"\xC0\x80\n\xED\xA0\x80\n\xF4\x90\x80\x80",
       kEnglish,
       {{"\xC0\x80"}, {"\xED\xA0\x80"}, {"\xF4\x90\x80\x80"}},
       0},
      {"ab\xD0\n\xB0", kRussian, {{"ab\xD0"}, {"\xB0"}}, 0},  // a character cut by the line end
      {"Марс \xB0\n", kRussian, {{"\xD0\x9C\xD0\xB0\xD1\x80\xD1\x81 \xB0"}}, 0},
      // The CR before the LF goes, a CR elsewhere stays.
      {"а\r\nб\r", kRussian, {{"\xE0"}, {"\xE1\r"}}, 2},
      // The cut and the zero byte apply to the converted bytes.
      {std::string(127, ' ') + "я", kRussian, {{std::string(127, ' '), true}}, 1},
      {"а\0б"s, kRussian, {{"\xE0", false, true}}, 1},
      {"а\0"s, kRussian, {{"\xE0", false, false}}, 1},
      {"а\0\r\n"s, kRussian, {{"\xE0", false, false}}, 1},
      {"é\0\xFF"s, kEnglish, {{"\xC3\xA9", false, true}}, 0},  // not UTF-8 as a whole
  };
  for (const Row& row : rows) {
    const FileReading reading = ReadAs(row.bytes, row.codePage);
    EXPECT_EQ(reading.lines, row.lines) << ::testing::PrintToString(row.bytes);
    EXPECT_EQ(reading.linesReadAsUtf8, row.linesReadAsUtf8) << ::testing::PrintToString(row.bytes);
    EXPECT_EQ(reading.encoding, FileEncoding::bytes);
  }
}

TEST(LineReader, JudgesTheWholeLongLineAsUtf8) {
  const std::string letters127 = [] {
    std::string text;
    for (int i = 0; i < 127; ++i) text += "ж";
    return text;
  }();
  const std::string converted127(127, '\xE6');
  struct Row {
    std::string bytes;
    ConvertedLine line;
    long linesReadAsUtf8;
  };
  const Row rows[] = {
      // 254 bytes of UTF-8 are 127 characters: not cut.
      {letters127 + "\r\n", {converted127, false}, 1},
      {letters127 + "ж\n", {converted127, true}, 1},
      {letters127 + "\r\r\n", {converted127, true}, 1},  // a CR of text is a 128th byte
      // A byte that breaks UTF-8 far behind the first 127 bytes leaves the line raw.
      {letters127 + std::string(5000, 'x') + "\xB0\n", {letters127.substr(0, 127), true}, 0},
      {letters127 + std::string(100000, 'x') + "ж\n", {converted127, true}, 1},
      {"ж" + std::string(200000, 'x') + "\xD0\n", {"\xD0\xB6" + std::string(125, 'x'), true}, 0},
  };
  for (const Row& row : rows) {
    const FileReading reading = ReadAs(row.bytes + "next\n", kRussian);
    ASSERT_EQ(reading.lines.size(), 2u);
    EXPECT_EQ(reading.lines[0], row.line) << row.bytes.size();
    EXPECT_EQ(reading.lines[1], ConvertedLine{"next"});
    EXPECT_EQ(reading.linesReadAsUtf8, row.linesReadAsUtf8) << row.bytes.size();
  }
}

TEST(LineReader, DropsAUtf8MarkOnlyAtTheStart) {
  struct Row {
    std::string bytes;
    std::vector<ConvertedLine> lines;
    long linesReadAsUtf8;
  };
  const Row rows[] = {
      {"\xEF\xBB\xBF", {}, 0},
      {"\xEF\xBB\xBFSun\nMoon", {{"Sun"}, {"Moon"}}, 0},
      {"\xEF\xBB\xBFСолнце\n", {{"\xD1\xEE\xEB\xED\xF6\xE5"}}, 1},
      {"\xEF\xBB\xBF\xC4\xE0\n", {{"\xC4\xE0"}}, 0},  // the rest is read as it stands
      {"a\n\xEF\xBB\xBF"
       "b",
       {{"a"}, {"?b", false, false, 1}},
       1},
      {"\xEF\xBB", {{"\xEF\xBB"}}, 0},  // not a whole mark
  };
  for (const Row& row : rows) {
    const FileReading reading = ReadAs(row.bytes, kRussian);
    EXPECT_EQ(reading.lines, row.lines) << ::testing::PrintToString(row.bytes);
    EXPECT_EQ(reading.linesReadAsUtf8, row.linesReadAsUtf8) << ::testing::PrintToString(row.bytes);
  }
}

TEST(LineReader, DecodesAFileWithAUtf16MarkAsAWhole) {
  using namespace std::string_literals;
  struct Row {
    std::string bytes;
    std::vector<ConvertedLine> lines;
    FileEncoding encoding;
  };
  constexpr FileEncoding little = FileEncoding::utf16LittleEndian;
  constexpr FileEncoding big = FileEncoding::utf16BigEndian;
  const Row rows[] = {
      {"\xFF\xFE", {}, little},
      {"\xFE\xFF", {}, big},
      {Utf16(u"Солнце\r\nЛуна 1°"),
       {{"\xD1\xEE\xEB\xED\xF6\xE5"}, {"\xCB\xF3\xED\xE0 1\xB0"}},
       little},
      {Utf16(u"Солнце\r\nЛуна\r\n", false),
       {{"\xD1\xEE\xEB\xED\xF6\xE5"}, {"\xCB\xF3\xED\xE0"}},
       big},
      {Utf16(u"a\rb\r"), {{"a\rb\r"}}, little},
      {Utf16(u"\n\n"), {{""}, {""}}, little},
      // Surrogates: a pair is one character, an unpaired one has no form.
      {Utf16(u"\U0001F600!"), {{"?!", false, false, 1}}, little},
      {Utf16(u"x\xD800y\xDC00z"), {{"x?y?z", false, false, 2}}, little},
      {Utf16(u"\xD800\xD83D\xDE00\n\xD800"),
       {{"??", false, false, 2}, {"?", false, false, 1}},
       little},
      {Utf16(u"\xD800\n"),
       {{"?", false, false, 1}},
       little},  // the LF after it still ends the line
      // A last odd byte is one more character without a form.
      {Utf16(u"ab") + "c", {{"ab?", false, false, 1}}, little},
      {Utf16(std::u16string(u"a\0b", 3)), {{"a", false, true}}, little},
      {Utf16(std::u16string(200, u'я')), {{std::string(127, '\xFF'), true}}, little},
      // A UTF-8 mark inside a UTF-16 file is a character like any other.
      {"\xFF\xFE\xEF\xBB", {{"?", false, false, 1}}, little},
  };
  for (const Row& row : rows) {
    const FileReading reading = ReadAs(row.bytes, kRussian);
    EXPECT_EQ(reading.lines, row.lines) << ::testing::PrintToString(row.bytes);
    EXPECT_EQ(reading.encoding, row.encoding) << ::testing::PrintToString(row.bytes);
    EXPECT_EQ(reading.linesReadAsUtf8, 0);
  }
}

TEST(LineReader, ConvertsCharactersSplitByTheChunkBoundary) {
  constexpr std::size_t kChunk = 1 << 16;
  for (std::size_t start = kChunk - 6; start <= kChunk + 2; ++start) {
    std::string bytes;
    std::vector<std::string> filler;
    AppendFiller(bytes, filler, start);
    bytes += "Марс €\r\nend";
    const FileReading reading = ReadAs(bytes, kRussian);
    ASSERT_EQ(reading.lines.size(), filler.size() + 2) << start;
    EXPECT_EQ(reading.lines[filler.size()].text, "\xCC\xE0\xF0\xF1 \x88") << start;
    EXPECT_EQ(reading.linesReadAsUtf8, 1);

    std::u16string text;
    text.assign(start / 2 - 1, u'f');  // after the mark, the pair starts at byte `start`
    text += u'\n';
    const std::size_t fillerLines = 1;
    text += u"\U0001F600Марс\r\nend";
    // Units always start at even offsets, so here the boundary falls inside a surrogate pair.
    const FileReading decoded = ReadAs(Utf16(text), kRussian);
    ASSERT_EQ(decoded.lines.size(), fillerLines + 2) << start;
    EXPECT_EQ(decoded.lines[fillerLines], (ConvertedLine{"?\xCC\xE0\xF0\xF1", false, false, 1}))
        << start;
  }
}

}  // namespace
}  // namespace korvo
