// How the Windows side writes a line to standard error, run under Wine by the windows preset.
#include "platform/standard_error_windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvo {
namespace {

TEST(WindowsStandardError, OnlyValidUtf8GoesToAConsoleAsText) {
  struct Row {
    bool toConsole;
    std::string line;
    bool asText;
  };
  const Row rows[] = {
      {true, "Korvo: Korvo.log cannot be written in Z:\\tmp\r\n", true},
      {true, "Using input: Z:\\\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\\Wrk\\Aspects.txt\r\n", true},
      {true, "Z:\\\xE6\x9D\xB1\xE4\xBA\xAC", true},  // 東京, no line end
      {true, "File Z:\\aspects\\\xD2\xF0\xE0\xED\xE7\xE8\xF2.asp not available\r\n", false},
      {true, "cut \xD0", false},      // a character cut short
      {true, "\xC0\xAF", false},      // an overlong '/'
      {true, "\xED\xA0\x80", false},  // a lone surrogate
      {true, "", false},
      {false, "Using input: Z:\\\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\r\n", false},  // redirected
  };
  for (const Row& row : rows) {
    EXPECT_EQ(WritesAsConsoleText(row.toConsole, row.line), row.asText) << row.line;
  }
}

// The text as the console is given it: converted in pieces of `room` units at most.
std::wstring InPieces(std::string_view utf8, std::size_t room, std::vector<std::size_t>& used) {
  std::wstring text;
  std::vector<wchar_t> piece(room);
  while (!utf8.empty()) {
    std::size_t bytes = 0;
    const std::size_t units = ConvertToConsoleText(utf8, piece, bytes);
    if (units == 0) break;
    text.append(piece.data(), units);
    used.push_back(bytes);
    utf8.remove_prefix(bytes);
  }
  return text;
}

TEST(WindowsStandardError, ConsoleTextIsConvertedWholeCharactersAtATime) {
  // "Иван" (two bytes a letter), "東" (three), U+1F600 (four bytes, two units), then CR LF.
  const std::string line = "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\xE6\x9D\xB1\xF0\x9F\x98\x80\r\n";
  const std::wstring whole = L"\u0418\u0432\u0430\u043D\u6771\xD83D\xDE00\r\n";
  struct Row {
    std::size_t room;
    std::vector<std::size_t> used;
  };
  const Row rows[] = {
      {1024, {17}},
      {4, {4, 4, 3, 4, 2}},  // a piece ends where a character starts
      {5, {4, 4, 3, 5, 1}},  // five bytes would cut "а" and "東" short; the last piece is 3 units
      {7, {6, 5, 6}},        // "Ива", "н東", then the four-byte character with CR LF
  };
  for (const Row& row : rows) {
    std::vector<std::size_t> used;
    EXPECT_EQ(InPieces(line, row.room, used), whole) << row.room;
    EXPECT_EQ(used, row.used) << row.room;
  }
}

}  // namespace
}  // namespace korvo
