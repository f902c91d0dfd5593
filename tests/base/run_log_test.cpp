#include "base/run_log.h"

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

}  // namespace
}  // namespace korvo
