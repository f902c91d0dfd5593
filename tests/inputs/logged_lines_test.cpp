#include "inputs/logged_lines.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/test_support.h"

namespace korvo {
namespace {

TEST(NextLineLogged, ReportsCutLines) {
  std::istringstream input("short\n" + std::string(128, 'x') + "\r\n" + std::string(127, 'y') +
                           "\r\nlast" + std::string(200, 'z'));
  LineReader reader = MakeLineReader(input, CodePage::windows1252);
  test::CapturedLog captured;
  int lines = 0;
  while (NextLineLogged(reader, captured.log, "/p/Planets.txt")) ++lines;
  EXPECT_EQ(lines, 4);
  EXPECT_EQ(captured.Text(),
            "Line 2 of /p/Planets.txt cut at 127 bytes\r\n"
            "Line 4 of /p/Planets.txt cut at 127 bytes\r\n");
}

TEST(NextLineLogged, ReportsHowEachLineAndTheFileWereRead) {
  using namespace std::string_literals;
  struct Row {
    std::string bytes;
    CodePage codePage;
    std::string log;
  };
  const Row rows[] = {
      {"plain \xB0 bytes\n", CodePage::windows1251, ""},
      {"\xEF\xBB\xBFplain\n", CodePage::windows1251, ""},
      {"Марс\nSun\nЛуна", CodePage::windows1251, "Read 2 lines of /p/in.txt as UTF-8\r\n"},
      {"Марс 😀\n" + std::string(130, 'x') + "é\0x\n"s, CodePage::windows1251,
       "Line 1 of /p/in.txt: 1 characters not in Windows-1251, written as ?\r\n"
       "Line 2 of /p/in.txt: 1 characters not in Windows-1251, written as ?\r\n"
       "Line 2 of /p/in.txt cut at 127 bytes\r\n"
       "Read 2 lines of /p/in.txt as UTF-8\r\n"},
      {"a\0b\n"s + std::string(127, 'x') + "y\0\n"s, CodePage::windows1252,
       "Line 1 of /p/in.txt cut at a zero byte\r\n"
       "Line 2 of /p/in.txt cut at 127 bytes\r\n"},
      {"x\0"s + std::string(200, 'y'), CodePage::windows1252,
       "Line 1 of /p/in.txt cut at 127 bytes\r\n"
       "Line 1 of /p/in.txt cut at a zero byte\r\n"},
      {"\xFF\xFE", CodePage::windows1252, "Read /p/in.txt as UTF-16\r\n"},
      {"\xFE\xFF\x04\x1C\x00\n\x00\xE9", CodePage::windows1252,
       "Line 1 of /p/in.txt: 1 characters not in Windows-1252, written as ?\r\n"
       "Read /p/in.txt as UTF-16\r\n"},
  };
  for (const Row& row : rows) {
    std::istringstream input(row.bytes);
    LineReader reader = MakeLineReader(input, row.codePage);
    test::CapturedLog captured;
    while (NextLineLogged(reader, captured.log, "/p/in.txt")) {
    }
    // Asking again after the end adds nothing.
    EXPECT_FALSE(NextLineLogged(reader, captured.log, "/p/in.txt"));
    EXPECT_EQ(captured.Text(), row.log) << ::testing::PrintToString(row.bytes);
  }
}

TEST(ReadToTheEnd, LogsAFailedReadWithTheLinesReadWholeBeforeIt) {
  const std::string fullRead = "one\ntwo\n" + std::string((1 << 16) - 10, 'x') + "\nh";
  struct Row {
    std::vector<std::string> reads;
    const char* label;
    bool whole;
    std::string log;
  };
  const Row rows[] = {
      {{}, "Input file: ", false, "Input file: /p/in.txt cannot be read after line 0\r\n"},
      {{fullRead},
       "File ",
       false,
       "Line 3 of /p/in.txt cut at 127 bytes\r\nFile /p/in.txt cannot be read after line 3\r\n"},
      {{fullRead, "alf"}, "File ", true, "Line 3 of /p/in.txt cut at 127 bytes\r\n"},
  };
  for (const Row& row : rows) {
    test::FailingReads buffer(row.reads);
    std::istream input(&buffer);
    LineReader reader = MakeLineReader(input, CodePage::windows1252);
    test::CapturedLog captured;
    while (NextLineLogged(reader, captured.log, "/p/in.txt")) {
    }
    EXPECT_EQ(ReadToTheEnd(reader, captured.log, row.label, "/p/in.txt"), row.whole);
    EXPECT_EQ(captured.Text(), row.log);
  }
}

}  // namespace
}  // namespace korvo
