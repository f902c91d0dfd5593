#include "inputs/existing_grid_page.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/file_system.h"
#include "report/grid_page.h"
#include "support/test_support.h"

namespace korvo {
namespace {

TEST(MayReplaceAsGridPage, OnlyAGridPageOrNoPlainFile) {
  struct Row {
    const char* what;
    std::string bytes;  // of the file at the name; none for a name that reaches no file
    bool replaced;
    bool isFile = true;
  };
  const std::vector<std::string> titles = GridPageTitles();
  const std::string before(kGridTitleSearchBytes - titles[0].size(), ' ');
  const Row rows[] = {
      {"no file", "", true, false},
      {"an English grid page", "<html lang=\"en\"><head>\n  " + titles[0], true},
      {"a Russian grid page, Windows-1251", "<head>" + titles[1] + "<style>", true},
      {"a Russian grid page, UTF-8", "<head>" + titles[2] + "<style>", true},
      {"a title that ends at byte 1024", before + titles[0], true},
      {"a title that ends after byte 1024", " " + before + titles[0], false},
      {"the page of another list", "<html>\n<head>\n  <title>VEXA - Aspects</title>", false},
      {"an empty file", "", false},
  };
  const bool links = kPathSeparator == '/';  // made here the POSIX way
  for (const Row& row : rows) {
    test::TempDirectory directory;
    const std::filesystem::path target = directory.path() / "target.html";
    if (row.isFile) test::WriteFileBytes(target, row.bytes);
    EXPECT_EQ(MayReplaceAsGridPage(target.string(), titles), row.replaced) << row.what;
    if (!links) continue;
    std::filesystem::create_symlink("target.html", directory.path() / "link.html");
    EXPECT_EQ(MayReplaceAsGridPage((directory.path() / "link.html").string(), titles), row.replaced)
        << "a link to " << row.what;
  }
}

}  // namespace
}  // namespace korvo
