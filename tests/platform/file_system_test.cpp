#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

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

TEST(FileSystem, OpeningForWritingEmptiesAnExistingFile) {
  test::TempDirectory directory;
  const std::filesystem::path file = directory.path() / "page.html";
  test::WriteFileBytes(file, "old content that must go");
  {
    std::ofstream stream;
    ASSERT_TRUE(OpenForWriting(stream, file.string()));
    stream << "new\n";
  }
  EXPECT_EQ(test::ReadFileBytes(file), "new\n");  // binary: nothing is translated
  std::ofstream intoFolder;
  EXPECT_FALSE(OpenForWriting(intoFolder, directory.path().string()));
}

}  // namespace
}  // namespace korvo
