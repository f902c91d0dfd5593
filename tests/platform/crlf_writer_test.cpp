#include "platform/crlf_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace korvo {
namespace {

TEST(CrLfWriter, StoresEveryLineFeedAsCrLf) {
  struct Row {
    const char* text;
    const char* stored;
  };
  const Row rows[] = {
      {"", ""},
      {"a", "a"},
      {"\n", "\r\n"},
      {"a\nb\n", "a\r\nb\r\n"},
      {"\n\n", "\r\n\r\n"},
      {"a\nb", "a\r\nb"},
      {"\r", "\r"},        // a CR alone is written as it is
      {"\r\n", "\r\r\n"},  // every LF becomes CR LF, whatever stands before it
      {"\xB0\n\xFF", "\xB0\r\n\xFF"},
  };
  for (const Row& row : rows) {
    std::ostringstream out;
    WriteCrLf(out, row.text);
    EXPECT_EQ(out.str(), row.stored) << ::testing::PrintToString(row.text);
    std::string appended = "before";
    AppendCrLf(appended, row.text);
    EXPECT_EQ(appended, "before" + std::string(row.stored)) << ::testing::PrintToString(row.text);
  }
}

}  // namespace
}  // namespace korvo
