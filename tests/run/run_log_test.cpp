#include "run/run_log.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/test_support.h"

namespace korvo {
namespace {

TEST(RunLog, EachLineIsWrittenWholeAndFlushedAtOnce) {
  test::CapturedLog captured;
  const std::filesystem::path file = captured.directory.path() / "Korvo.log";
  LogLine(captured.log, {"Extracted ", "12", " aspects"});
  EXPECT_EQ(test::ReadFileBytes(file), "Extracted 12 aspects\r\n");  // no flush by the test
  LogLine(captured.log, {});
  LogLine(captured.log, {"Using input: ", "/a b/in.txt"});
  EXPECT_EQ(test::ReadFileBytes(file), "Extracted 12 aspects\r\n\r\nUsing input: /a b/in.txt\r\n");
  LogLastLine(captured.log, {"Korvo completed OK"});
  EXPECT_EQ(captured.Text(),
            "Extracted 12 aspects\r\n\r\nUsing input: /a b/in.txt\r\nKorvo completed OK");
}

TEST(RunLog, ANameTooLongGivesTheLongestNameItsBufferHolds) {
  struct Row {
    std::size_t capacity;
    std::string line;
  };
  const Row rows[] = {
      {256, "The name is longer than 255 bytes\r\n"},
      {255, "The name is longer than 254 bytes\r\n"},
      {4096, "The name is longer than 4095 bytes\r\n"},
      {4095, "The name is longer than 4094 bytes\r\n"},
  };
  for (const Row& row : rows) {
    test::CapturedLog captured;
    LogNameTooLong(captured.log, row.capacity);
    EXPECT_EQ(captured.Text(), row.line);
  }
}

TEST(RunLog, StateIsTheLogStreamsOwnFlags) {
  struct Row {
    std::ios::iostate flags;
    int state;
  };
  const Row rows[] = {
      {std::ios::goodbit, 0},
      {std::ios::badbit, 1},
      {std::ios::eofbit, 2},
      {std::ios::failbit, 4},
      {std::ios::failbit | std::ios::eofbit, 6},
      {std::ios::badbit | std::ios::failbit, 5},
      {std::ios::badbit | std::ios::eofbit | std::ios::failbit, 7},
  };
  for (const Row& row : rows) {
    test::CapturedLog captured;
    captured.log.stream.setstate(row.flags);
    EXPECT_EQ(RunLogState(captured.log), row.state) << row.flags;
  }
}

TEST(RunLog, ALogThatCouldNotBeOpenedTakesLinesWithoutEffect) {
  RunLog log;  // never opened
  EXPECT_EQ(RunLogState(log), 0);
  LogLine(log, {"Version: 1.0.0"});
  EXPECT_EQ(RunLogState(log) & 1, 1);  // a failed write sets the bad flag
}

TEST(RunLog, NextLineLoggedReportsCutLines) {
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

TEST(RunLog, NextLineLoggedReportsHowEachLineAndTheFileWereRead) {
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

}  // namespace
}  // namespace korvo
