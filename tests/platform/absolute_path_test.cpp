#include "platform/absolute_path.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/file_system.h"

namespace korvo {
namespace {

struct PathRow {
  const char* currentDirectory;
  const char* name;
  std::optional<std::string> expected;
};

constexpr std::size_t kCapacity = 256;  // the Windows name buffer

TEST(AbsolutePathWindows, JoinsRelativeNamesToTheCurrentDirectory) {
  const PathRow rows[] = {
      {"C:\\Work", "Wrk\\Aspects.txt", "C:\\Work\\Wrk\\Aspects.txt"},
      {"C:\\Work\\", "list.txt", "C:\\Work\\list.txt"},
      {"C:\\", "list.txt", "C:\\list.txt"},
      {"C:\\Work", "\\dir\\x", "C:\\dir\\x"},  // drive-relative: the drive of the directory
      {"D:\\Other\\Place", "\\x", "D:\\x"},
      {"C:\\Work", "D:x", "D:x"},  // a name with a drive is taken as it is
      {"C:\\Work", "D:\\a\\b", "D:\\a\\b"},
      {"C:\\Work", "a b\\c d.txt", "C:\\Work\\a b\\c d.txt"},
  };
  for (const PathRow& row : rows) {
    EXPECT_EQ(AbsolutePathWindows(row.currentDirectory, row.name, kCapacity).name, row.expected)
        << row.currentDirectory << " + " << row.name;
  }
}

TEST(AbsolutePathWindows, RemovesDotAndDotDotSegments) {
  const PathRow rows[] = {
      {"C:\\Work", "..\\x.txt", "C:\\x.txt"},
      {"C:\\Work\\Deep", "..\\..\\x.txt", "C:\\x.txt"},
      {"C:\\Work", "a\\..\\b", "C:\\Work\\b"},
      {"C:\\Work", "a\\b\\..\\..\\c", "C:\\Work\\c"},
      {"C:\\Work", "..", "C:\\"},  // a trailing "\.." keeps the root
      {"C:\\Work", "a\\..", "C:\\Work"},
      {"C:\\Work", "C:\\a\\..", "C:\\"},
      {"C:\\Work", "a\\.\\..\\b", "C:\\Work\\b"},  // "\." is stepped over to find the segment
      {"C:\\Work", ".", "C:\\Work"},
      {"C:\\Work", ".\\a", "C:\\Work\\a"},
      {"C:\\Work", "a\\.\\b", "C:\\Work\\a\\b"},
      {"C:\\Work", ".\\.", "C:\\Work"},
      {"C:\\Work", "a\\.\\.\\b\\.", "C:\\Work\\a\\b"},
      {"C:\\Work", "C:\\.", "C:\\"},     // a trailing "\." keeps the root
      {"C:\\Work", "\\..x", "C:\\..x"},  // not a ".." segment: left alone
      {"C:\\Work", "a\\..x\\b", "C:\\Work\\a\\..x\\b"},
      {"C:\\Work", "a\\.x", "C:\\Work\\a\\.x"},
      {"C:\\Work", "a\\...", "C:\\Work\\a\\..."},
      {"C:\\Work", "a\\b..", "C:\\Work\\a\\b.."},
  };
  for (const PathRow& row : rows) {
    EXPECT_EQ(AbsolutePathWindows(row.currentDirectory, row.name, kCapacity).name, row.expected)
        << row.currentDirectory << " + " << row.name;
  }
}

TEST(AbsolutePathWindows, GivesNoResultForUnusableInput) {
  const PathRow rows[] = {
      {"C:\\Work", "", std::nullopt},        // empty name
      {"C:\\Work", "..\\..", std::nullopt},  // more ".." than segments
      {"C:\\Work", "C:\\..", std::nullopt},
      {"C:\\Work", "\\..\\x", std::nullopt},
      {"", "x.txt", std::nullopt},                   // no current directory
      {"\\\\server\\share", "x.txt", std::nullopt},  // not on a drive
      {"\\\\server\\share", "\\x.txt", std::nullopt},
      {"C:", "x.txt", std::nullopt},  // shorter than three characters
      {"Work", "x.txt", std::nullopt},
  };
  for (const PathRow& row : rows) {
    EXPECT_EQ(AbsolutePathWindows(row.currentDirectory, row.name, kCapacity).name, row.expected)
        << row.currentDirectory << " + " << row.name;
  }
}

TEST(AbsolutePathWindows, NeedsNoUsableDirectoryForNamesWithADrive) {
  EXPECT_EQ(AbsolutePathWindows("", "D:\\x", kCapacity).name, "D:\\x");
  EXPECT_EQ(AbsolutePathWindows("\\\\server\\share", "D:\\x", kCapacity).name, "D:\\x");
  // Only the second character of the directory matters for a drive-relative name.
  EXPECT_EQ(AbsolutePathWindows("C:", "\\x", kCapacity).name, "C:\\x");
}

TEST(AbsolutePathWindows, KeepsTheResultWithinTheCapacity) {
  const std::string name255 = "C:\\" + std::string(252, 'a');  // 255 bytes + terminating zero
  const std::string name256 = name255 + "b";
  struct CapacityRow {
    std::string name;
    std::size_t capacity;
    bool fits;
  };
  const CapacityRow rows[] = {
      {name255, 256, true},
      {name256, 256, false},
      {name255, 255, false},
      {name255.substr(0, 254), 255, true},
      // The test applies to the result, after ".." has shortened it.
      {name256 + "\\..", 256, true},
  };
  for (const CapacityRow& row : rows) {
    const std::optional<std::string> result =
        AbsolutePathWindows("C:\\Work", row.name, row.capacity).name;
    EXPECT_EQ(result.has_value(), row.fits)
        << row.name.size() << " bytes, capacity " << row.capacity;
    if (result) {
      EXPECT_LT(result->size(), row.capacity);
    }
  }
  // A relative name that only becomes too long behind the directory.
  const std::string directory = "C:\\" + std::string(200, 'd');
  EXPECT_TRUE(AbsolutePathWindows(directory, std::string(51, 'n'), 256).name);   // 204 + 51 = 255
  EXPECT_FALSE(AbsolutePathWindows(directory, std::string(52, 'n'), 256).name);  // 256
}

TEST(AbsolutePathPosix, FollowsTheRulesWithSlashes) {
  const PathRow rows[] = {
      {"/home/u/work", "Wrk/Aspects.txt", "/home/u/work/Wrk/Aspects.txt"},
      {"/home/u/work", "../x.txt", "/home/u/x.txt"},
      {"/home/u/work", "/a/./b/../c", "/a/c"},
      {"/home/u/work", "/a/..", "/"},
      {"/home/u/work", "/..", std::nullopt},
      {"/home/u/work", "a/.hidden", "/home/u/work/a/.hidden"},
      {"/home/u/work", "a/..b", "/home/u/work/a/..b"},
      {"/home/u/work", "/..x", "/..x"},
      {"/home/u/work", "..", "/home/u"},
      {"/home/u/work", "../../..", "/"},
      {"/home/u/work", "../../../..", std::nullopt},
      {"/home/u/work", ".", "/home/u/work"},
      {"/home/u/work", "./a/./b/.", "/home/u/work/a/b"},
      {"/home/u/work", "/.", "/"},
      {"/home/u/work", "a/./../b", "/home/u/work/b"},
      {"/home/u/work/", "x", "/home/u/work/x"},
      {"/", "x", "/x"},
      {"/", "..", std::nullopt},
      {"/home/u/work", "a\\..\\b", "/home/u/work/a\\..\\b"},  // a backslash is no separator
      {"/home/u/work", "", std::nullopt},
      {"", "x", std::nullopt},
      {"relative/dir", "x", std::nullopt},
      {"", "/abs/x", "/abs/x"},
  };
  for (const PathRow& row : rows) {
    EXPECT_EQ(AbsolutePathPosix(row.currentDirectory, row.name, kCapacity).name, row.expected)
        << row.currentDirectory << " + " << row.name;
  }
}

TEST(AbsolutePathPosix, KeepsTheResultWithinTheCapacity) {
  const std::string name255 = "/" + std::string(254, 'a');
  EXPECT_TRUE(AbsolutePathPosix("/w", name255, 256).name);
  EXPECT_FALSE(AbsolutePathPosix("/w", name255 + "b", 256).name);
  EXPECT_FALSE(AbsolutePathPosix("/w", name255, 255).name);
  EXPECT_TRUE(AbsolutePathPosix("/w", name255.substr(0, 254), 255).name);
  // The test applies to the result, after ".." has shortened it.
  EXPECT_EQ(AbsolutePathPosix("/w", name255 + "/more/..", 256).name, name255);
}

TEST(AbsolutePath, TellsANameTooLongFromANameWithoutAbsoluteForm) {
  const std::string separator(1, kPathSeparator);
  const std::string directory = kPathSeparator == '/' ? "/w" : "C:\\w";
  const std::size_t capacity = 64;
  // Makes `directory` + separator + name exactly `length` bytes long.
  const auto nameOfLength = [&](std::size_t length) {
    return std::string(length - directory.size() - 1, 'n');
  };
  struct Row {
    std::string name;
    bool hasResult;
    bool tooLong;
  };
  const Row rows[] = {
      {nameOfLength(capacity - 1), true, false},
      {nameOfLength(capacity), false, true},
      {nameOfLength(capacity + 1000), false, true},
      // Judged after ".." has shortened the name.
      {nameOfLength(capacity) + separator + "..", true, false},
      {"", false, false},
      {".." + separator + ".." + separator + "..", false, false},
      // Too many ".." is no absolute form, however long the name.
      {".." + separator + ".." + separator + nameOfLength(capacity + 10), false, false},
  };
  for (const Row& row : rows) {
    const AbsoluteName result = AbsolutePath(directory, row.name, capacity);
    EXPECT_EQ(result.name.has_value(), row.hasResult) << row.name.size();
    EXPECT_EQ(result.tooLong, row.tooLong) << row.name.size();
    if (result.name) {
      EXPECT_LT(result.name->size(), capacity);
    }
  }
}

}  // namespace
}  // namespace korvo
