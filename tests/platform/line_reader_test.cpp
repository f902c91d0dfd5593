#include "platform/line_reader.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace korvo
