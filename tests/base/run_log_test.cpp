#include "base/run_log.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>

#include "platform/file_system.h"
#include "platform/log_file.h"

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

// Each line the run writes, and what standard error shows when it is not in the file.
void WriteThreeLines(RunLog& log) {
  LogLine(log, {"Using input: ", "/a\nb"});  // a name may hold a line feed
  LogLine(log, {"Output tbl1, state: ", std::to_string(RunLogState(log))});
  LogLastLine(log, {"Korvo completed OK"});
}

TEST(RunLog, StandardErrorTakesEveryLineOnceTheFileFails) {
  // The platform's line end as the capture reads it back: in text mode, so LF on Windows too
  // (the end-to-end cases compare the CR LF bytes there).
  const std::string end = "\n";
  struct Row {
    const char* what;
    bool posixOnly;
    std::string fileName;  // "" for a file of the test's own
    int stateAtOpen;
    int stateAtEnd;
    std::string tableLine;
    std::string reason;  // the system's text on standard error (Wine's, under Wine)
  };
  const bool posix = kPathSeparator == '/';
  const Row rows[] = {
      {"the file takes every line", false, "", 0, 0, "Output tbl1, state: 0", ""},
      {"the file cannot be opened", false, ".", 4, 4, "Output tbl1, state: 4",
       posix ? "Is a directory" : "Access denied."},
      {"every write to the file fails", true, "/dev/full", 0, 1, "Output tbl1, state: 1",
       "No space left on device"},
  };
  for (const Row& row : rows) {
    if (row.posixOnly && !posix) continue;
    test::TempDirectory directory;
    const std::string fileName = row.fileName.empty()  ? (directory.path() / "Korvo.log").string()
                                 : row.fileName == "." ? directory.path().string()
                                                       : row.fileName;
    RunLog log;
    ::testing::internal::CaptureStderr();
    OpenRunLogAs(log, fileName, "/the/run");
    EXPECT_EQ(RunLogState(log), row.stateAtOpen) << row.what;
    WriteThreeLines(log);
    const std::string console = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(RunLogState(log), row.stateAtEnd) << row.what;
    const std::string lines = "Using input: /a" + end + "b" + end + row.tableLine + end;
    if (row.stateAtEnd == 0) {
      EXPECT_EQ(console, "") << row.what;
      EXPECT_EQ(test::ReadFileBytes(fileName),
                "Using input: /a\r\nb\r\n" + row.tableLine + "\r\nKorvo completed OK")
          << row.what;
    } else {
      EXPECT_EQ(console, "Korvo: Korvo.log cannot be written in /the/run: " + row.reason + end +
                             lines + "Korvo completed OK" + end)
          << row.what;
    }
  }
}

// A log that another run holds, or that is a symbolic link, is left as it is, and its lines go to
// standard error; once the other run lets it go, the next run takes it and empties it.
TEST(RunLog, ALogHeldByAnotherRunOrALinkIsLeftAsItIs) {
  test::TempDirectory directory;
  const std::string held = (directory.path() / "held.log").string();
  const std::string link = (directory.path() / "link.log").string();
  UnbufferedFile otherRun;
  std::string reason;
  ASSERT_EQ(OpenLogFileAlone(otherRun, held, std::chrono::milliseconds(0), reason),
            LogFileRefusal::none);
  ASSERT_TRUE(WriteLogBytes(otherRun.get(), "another run's line\r\n", reason));
  const bool withLink = kPathSeparator == '/';  // Wine shows a link as the file it reaches
  if (withLink) std::filesystem::create_symlink(held, link);
  const std::string in = " in /the/run";
  const std::pair<std::string, std::string> rows[] = {
      {held, "Korvo: Korvo.log is in use by another run" + in},
      {link, "Korvo: Korvo.log cannot be written" + in + ": it is a symbolic link"},
  };
  for (const auto& [fileName, notice] : rows) {
    if (fileName == link && !withLink) continue;
    RunLog log;
    ::testing::internal::CaptureStderr();
    OpenRunLogAs(log, fileName, "/the/run", std::chrono::milliseconds(20));
    LogLine(log, {"a line"});
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), notice + "\na line\n");
    EXPECT_EQ(RunLogState(log), kLogNotOpened);
    EXPECT_EQ(test::ReadFileBytes(held), "another run's line\r\n");
  }
  otherRun.reset();
  RunLog log;
  OpenRunLogAs(log, held, "/the/run", std::chrono::milliseconds(0));
  EXPECT_EQ(RunLogState(log), 0);
  EXPECT_EQ(test::ReadFileBytes(held), "");
}

TEST(RunLog, ALogNeverOpenedTakesLinesWithoutEffect) {
  RunLog log;
  ::testing::internal::CaptureStderr();
  WriteThreeLines(log);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(RunLogState(log), 0);
}

}  // namespace
}  // namespace korvo
