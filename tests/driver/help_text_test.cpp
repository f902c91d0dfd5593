#include "driver/help_text.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "base/log_texts.h"

namespace korvo {
namespace {

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

TEST(HelpText, UsageThenOneAlignedLinePerOptionThenWhereTheFilesGo) {
  const std::string help = HelpText();
  ASSERT_TRUE(help.ends_with("\n"));
  EXPECT_EQ(help.find('\r'), std::string::npos);  // a CR LF on Windows comes from text mode
  const std::vector<std::string> lines = LinesOf(help);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines.front(), kUsageLine);
  const std::string options[] = {"-1",     "-2",       "-a<file>", "<aspects-list-file>",
                                 "--help", "--version"};
  const std::size_t meaningColumn = lines[4].find_first_not_of(' ', 2 + options[3].size());
  for (std::size_t i = 0; i < std::size(options); ++i) {
    const std::string& line = lines[i + 1];
    EXPECT_EQ(line.substr(0, 2 + options[i].size()), "  " + options[i]) << line;
    EXPECT_EQ(line.find_first_not_of(' ', 2 + options[i].size()), meaningColumn) << line;
  }
  EXPECT_NE(lines.back().find(" Korvo.log "), std::string::npos);
  EXPECT_NE(lines.back().find(".html"), std::string::npos);
}

}  // namespace
}  // namespace korvo
