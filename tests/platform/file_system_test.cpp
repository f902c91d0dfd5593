#include "platform/file_system.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <csignal>
#include <cstdlib>
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

// A page with a second hard link is written in place, but only from a copy staged whole: a failed
// write leaves the old bytes under both names.
TEST(WholeFile, AHardLinkedPageIsCopiedInPlaceOnlyOnceItIsWhole) {
  if (kPathSeparator != '/') GTEST_SKIP() << "links are made here the POSIX way";
  struct Row {
    std::string newPage;
    bool writeFails;
  };
  for (const Row& row : {Row{"new", false}, Row{"a new page, longer than the old", false},
                         Row{"half a new page", true}}) {
    test::TempDirectory directory;
    const std::filesystem::path page = directory.path() / "page.html";
    test::WriteFileBytes(page, "the old page");
    std::filesystem::create_hard_link(page, directory.path() / "other.html");
    WholeFile file;
    ASSERT_TRUE(OpenWholeFile(file, page.string()));
    file.stream << row.newPage << std::flush;
    if (row.writeFails) file.stream.setstate(std::ios::badbit);
    EXPECT_EQ(test::ReadFileBytes(page), "the old page") << row.newPage;
    EXPECT_EQ(FinishWholeFile(file), !row.writeFails) << row.newPage;
    const std::string expected = row.writeFails ? "the old page" : row.newPage;
    EXPECT_EQ(test::ReadFileBytes(page), expected);
    EXPECT_EQ(test::ReadFileBytes(directory.path() / "other.html"), expected);
    EXPECT_EQ(FolderContents(directory.path()), (Names{"other.html", "page.html"}));
  }
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

TEST(WholeFile, APageNameOfAnyLengthIsWrittenThroughATemporaryFile) {
  if (kPathSeparator != '/') GTEST_SKIP() << "POSIX names of up to 4095 bytes";
  test::TempDirectory directory;
  // A folder so deep that a temporary name beside the page would not fit in 4095 bytes.
  std::filesystem::path folder = directory.path();
  while (folder.string().size() < 4080 - 101) folder /= std::string(100, 'd');
  folder /= std::string(4080 - folder.string().size() - 1, 'e');
  std::filesystem::create_directories(folder);
  const std::string page = folder.string() + "/a.html";
  test::WriteFileBytes(page, "the old page");
  WholeFile file;
  ASSERT_TRUE(OpenWholeFile(file, page));
  EXPECT_FALSE(file.temporaryName.empty());
  EXPECT_GE(file.folder, 0);
  file.stream << "the new page";
  ASSERT_TRUE(FinishWholeFile(file));
  EXPECT_EQ(test::ReadFileBytes(page), "the new page");
  EXPECT_EQ(FolderContents(folder), Names{"a.html"});
  EXPECT_EQ(file.folder, -1);  // the folder is let go
}

TEST(WholeFile, ALinkToAMissingFileIsWrittenThroughATemporaryFileWhereItPoints) {
  if (kPathSeparator != '/') GTEST_SKIP() << "links are made here the POSIX way";
  test::TempDirectory directory;
  std::filesystem::create_directory(directory.path() / "out");
  const std::filesystem::path link = directory.path() / "page.html";
  std::filesystem::create_symlink("out/missing.html", link);
  WholeFile file;
  ASSERT_TRUE(OpenWholeFile(file, link.string()));
  EXPECT_FALSE(file.temporaryName.empty());
  EXPECT_EQ(FolderContents(directory.path() / "out"), Names{file.temporaryName});
  file.stream << "the new page";
  ASSERT_TRUE(FinishWholeFile(file));
  EXPECT_EQ(std::filesystem::read_symlink(link), "out/missing.html");
  EXPECT_EQ(test::ReadFileBytes(directory.path() / "out/missing.html"), "the new page");
  EXPECT_EQ(FolderContents(directory.path() / "out"), Names{"missing.html"});
}

TEST(WholeFile, ADiscardedFileLeavesTheOldOneAndNoTemporaryFile) {
  for (const bool finishedAfter : {false, true}) {
    test::TempDirectory directory;
    const std::filesystem::path page = directory.path() / "page.html";
    test::WriteFileBytes(page, "the old page");
    WholeFile file;
    ASSERT_TRUE(OpenWholeFile(file, page.string()));
    file.stream << "half a new page";
    DiscardWholeFile(file);
    EXPECT_TRUE(file.temporaryName.empty());
    EXPECT_FALSE(finishedAfter && FinishWholeFile(file));  // nothing is left to finish
    EXPECT_EQ(test::ReadFileBytes(page), "the old page");
    EXPECT_EQ(FolderContents(directory.path()), Names{"page.html"});
  }
}

#ifndef _WIN32
// A signal that ends the process at its default action removes the temporary file, then ends the
// process as the signal does; a signal the process ignores stays ignored.
TEST(WholeFileDeathTest, AnInterruptRemovesTheTemporaryFileAndEndsTheRun) {
  const auto writeAndRaise = [](const std::string& page, int interrupt) {
    const rlimit noCoreFile{0, 0};
    setrlimit(RLIMIT_CORE, &noCoreFile);
    WholeFile file;
    if (!OpenWholeFile(file, page)) std::_Exit(3);
    file.stream << "half a new page" << std::flush;
    std::raise(interrupt);
    DiscardWholeFile(file);
    std::_Exit(7);
  };
  for (const int interrupt :
       {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGALRM, SIGUSR2, SIGXCPU, SIGABRT, SIGRTMIN + 3}) {
    test::TempDirectory directory;
    const std::string page = (directory.path() / "page.html").string();
    test::WriteFileBytes(page, "the old page");
    EXPECT_EXIT(writeAndRaise(page, interrupt), ::testing::KilledBySignal(interrupt), "");
    EXPECT_EQ(test::ReadFileBytes(page), "the old page") << interrupt;
    EXPECT_EQ(FolderContents(directory.path()), Names{"page.html"}) << interrupt;
    EXPECT_EXIT((std::signal(interrupt, SIG_IGN), writeAndRaise(page, interrupt)),
                ::testing::ExitedWithCode(7), "");
    EXPECT_EQ(FolderContents(directory.path()), Names{"page.html"}) << interrupt;
  }
}

// As root, a replaced page keeps another user's owner and group, as it keeps its permission bits.
TEST(WholeFile, AReplacedPageKeepsItsOwnerAndGroupAsRoot) {
  if (geteuid() != 0) GTEST_SKIP() << "only root gives a file to another user";
  test::TempDirectory directory;
  const std::string page = (directory.path() / "page.html").string();
  test::WriteFileBytes(page, "the old page");
  ASSERT_EQ(chown(page.c_str(), 65534, 65534), 0);
  WholeFile file;
  ASSERT_TRUE(OpenWholeFile(file, page));
  file.stream << "the new page";
  ASSERT_TRUE(FinishWholeFile(file));
  struct stat status {};
  ASSERT_EQ(stat(page.c_str(), &status), 0);
  EXPECT_EQ(status.st_uid, 65534u);
  EXPECT_EQ(status.st_gid, 65534u);
}
#endif

}  // namespace
}  // namespace korvo
