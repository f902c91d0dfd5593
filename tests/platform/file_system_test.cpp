#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace korvo {
namespace {

TEST(FileSystem, NativeNameUsesThePlatformSeparator) {
  const std::string separator(1, kPathSeparator);
  EXPECT_EQ(NativeName("Wrk/Aspects.txt"), "Wrk" + separator + "Aspects.txt");
  EXPECT_EQ(NativeName("a/b/c"), "a" + separator + "b" + separator + "c");
  EXPECT_EQ(NativeName("plain"), "plain");
}

TEST(FileSystem, OpensOnlyFilesForReading) {
  test::TempDirectory directory;
  const std::filesystem::path file = directory.path() / "file.txt";
  test::WriteFileBytes(file, "text");
  std::filesystem::create_directory(directory.path() / "folder");
  struct Row {
    std::filesystem::path path;
    bool opens;
  };
  const Row rows[] = {
      {file, true},
      {directory.path() / "folder", false},  // a directory counts as not opened
      {directory.path() / "missing.txt", false},
  };
  for (const Row& row : rows) {
    std::ifstream stream;
    EXPECT_EQ(OpenForReading(stream, row.path.string()), row.opens) << row.path;
  }
}

TEST(FileSystem, OpeningUnbufferedEmptiesAnExistingFileAndWritesAtOnce) {
  test::TempDirectory directory;
  const std::filesystem::path file = directory.path() / "Korvo.log";
  test::WriteFileBytes(file, "old content that must go");
  UnbufferedFile stream = OpenUnbuffered(file.string());
  ASSERT_TRUE(stream);
  EXPECT_TRUE(WriteAll(stream.get(), "new\n"));
  EXPECT_EQ(test::ReadFileBytes(file), "new\n");  // binary, and no buffer held it back
  EXPECT_FALSE(OpenUnbuffered(directory.path().string()));
}

// The names of everything in a folder, to show that no temporary file stays behind.
std::vector<std::string> FolderContents(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

using Names = std::vector<std::string>;

TEST(WholeFile, AnExistingFileStaysUntilTheNewOneIsFinished) {
  test::TempDirectory directory;
  const std::filesystem::path page = directory.path() / "page.html";
  test::WriteFileBytes(page, "the old page");
  WholeFile file;
  ASSERT_TRUE(OpenWholeFile(file, page.string()));
  file.stream << "the new page, ";
  EXPECT_EQ(test::ReadFileBytes(page), "the old page");  // opening emptied nothing
  file.stream << "written whole";
  ASSERT_TRUE(FinishWholeFile(file));
  EXPECT_EQ(test::ReadFileBytes(page), "the new page, written whole");
  EXPECT_EQ(FolderContents(directory.path()), Names{"page.html"});
}

TEST(WholeFile, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  struct Row {
    const char* what;
    bool pageExists;
    std::ios::iostate failure;  // as a failed write or close leaves the stream
  };
  const Row rows[] = {
      {"existing page, failed write", true, std::ios::badbit},
      {"existing page, failed close", true, std::ios::failbit},
      {"new page, failed write", false, std::ios::badbit},
  };
  for (const Row& row : rows) {
    test::TempDirectory directory;
    const std::filesystem::path page = directory.path() / "page.html";
    if (row.pageExists) test::WriteFileBytes(page, "the old page");
    WholeFile file;
    ASSERT_TRUE(OpenWholeFile(file, page.string())) << row.what;
    file.stream << "half a new page";
    file.stream.setstate(row.failure);
    EXPECT_FALSE(FinishWholeFile(file)) << row.what;
    if (row.pageExists) {
      EXPECT_EQ(test::ReadFileBytes(page), "the old page") << row.what;
      EXPECT_EQ(FolderContents(directory.path()), Names{"page.html"}) << row.what;
    } else {
      EXPECT_EQ(FolderContents(directory.path()), Names{}) << row.what;
    }
  }
}

TEST(WholeFile, AFolderIsRefusedAndLeftAsItIs) {
  test::TempDirectory directory;
  const std::filesystem::path folder = directory.path() / "page.html";
  std::filesystem::create_directory(folder);
  test::WriteFileBytes(folder / "inside.txt", "kept");
  WholeFile file;
  EXPECT_FALSE(OpenWholeFile(file, folder.string()));
  EXPECT_EQ(FolderContents(directory.path()), Names{"page.html"});
  EXPECT_EQ(test::ReadFileBytes(folder / "inside.txt"), "kept");
}

TEST(WholeFile, ALinkedPageIsWrittenWhereTheLinkPointsAndTheLinkStays) {
  if (kPathSeparator != '/') GTEST_SKIP() << "links are made here the POSIX way";
  test::TempDirectory directory;
  const std::filesystem::path target = directory.path() / "real.html";
  const std::filesystem::path link = directory.path() / "page.html";
  test::WriteFileBytes(target, "the old page");
  std::filesystem::create_symlink("real.html", link);
  WholeFile file;
  ASSERT_TRUE(OpenWholeFile(file, link.string()));
  file.stream << "the new page";
  ASSERT_TRUE(FinishWholeFile(file));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(std::filesystem::read_symlink(link), "real.html");
  EXPECT_EQ(test::ReadFileBytes(target), "the new page");
  EXPECT_EQ(FolderContents(directory.path()), (Names{"page.html", "real.html"}));
}

TEST(WholeFile, AHardLinkedPageIsWrittenInPlaceSoBothNamesShowIt) {
  if (kPathSeparator != '/') GTEST_SKIP() << "links are made here the POSIX way";
  test::TempDirectory directory;
  const std::filesystem::path page = directory.path() / "page.html";
  const std::filesystem::path other = directory.path() / "other.html";
  test::WriteFileBytes(page, "the old page");
  std::filesystem::create_hard_link(page, other);
  WholeFile file;
  ASSERT_TRUE(OpenWholeFile(file, page.string()));
  EXPECT_TRUE(file.temporaryName.empty());
  file.stream << "the new page";
  ASSERT_TRUE(FinishWholeFile(file));
  EXPECT_EQ(test::ReadFileBytes(page), "the new page");
  EXPECT_EQ(test::ReadFileBytes(other), "the new page");
}

TEST(WholeFile, AnExistingPageKeepsItsPermissionBits) {
  if (kPathSeparator != '/') GTEST_SKIP() << "POSIX permission bits";
  namespace fs = std::filesystem;
  for (const fs::perms bits :
       {fs::perms::owner_read | fs::perms::owner_write,
        fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read,
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_write |
            fs::perms::others_write}) {
    test::TempDirectory directory;
    const fs::path page = directory.path() / "page.html";
    test::WriteFileBytes(page, "the old page");
    fs::permissions(page, bits, fs::perm_options::replace);
    WholeFile file;
    ASSERT_TRUE(OpenWholeFile(file, page.string()));
    file.stream << "the new page";
    ASSERT_TRUE(FinishWholeFile(file));
    EXPECT_EQ(fs::status(page).permissions(), bits);
    EXPECT_EQ(test::ReadFileBytes(page), "the new page");
  }
}

TEST(WholeFile, ADeviceIsWrittenInPlaceAndAFailingOneIsReported) {
  if (kPathSeparator != '/') GTEST_SKIP() << "POSIX devices";
  struct Row {
    const char* device;
    bool finished;
  };
  for (const Row& row : {Row{"/dev/null", true}, Row{"/dev/full", false}}) {
    if (!std::filesystem::exists(row.device)) continue;
    WholeFile file;
    ASSERT_TRUE(OpenWholeFile(file, row.device)) << row.device;
    EXPECT_TRUE(file.temporaryName.empty()) << row.device;
    file.stream << std::string(1 << 16, 'x');
    EXPECT_EQ(FinishWholeFile(file), row.finished) << row.device;
    EXPECT_TRUE(std::filesystem::is_character_file(row.device)) << row.device;
  }
}

}  // namespace
}  // namespace korvo
