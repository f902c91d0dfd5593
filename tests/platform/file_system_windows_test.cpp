// The Windows side of the platform layer, run under Wine by the windows preset.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace korvo {
namespace {

// A fresh folder under the Windows temporary folder, removed with its files at the end.
struct ScratchFolder {
  std::string path;
  ScratchFolder() {
    char temporary[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temporary);
    path = std::string(temporary) + "korvo_fs_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path.c_str(), nullptr);
  }
  ~ScratchFolder() {
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = path + "\\" + found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveDirectoryA(name.c_str());
        } else {
          DeleteFileA(name.c_str());
        }
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
  }
  std::string Write(const std::string& name, std::string_view text = "x") const {
    std::ofstream file(path + "\\" + name, std::ios::binary);
    EXPECT_TRUE(file.write(text.data(), static_cast<std::streamsize>(text.size()))) << name;
    return path + "\\" + name;
  }
  std::string Read(const std::string& name) const {
    std::ifstream stream(path + "\\" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
  }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
  }
};

std::string TemporaryName(int attempt) {
  return ".korvo-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt) + ".tmp";
}

TEST(WindowsFileSystem, CurrentDirectoryIsTheFolderEnteredWithItsDrive) {
  const ScratchFolder folder;
  char previous[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(folder.path.c_str()));
  const std::string current = CurrentDirectory();
  SetCurrentDirectoryA(previous);
  ASSERT_GE(current.size(), 3u);
  EXPECT_EQ(current[1], ':');
  EXPECT_EQ(current[2], '\\');
  const std::string tail = "\\korvo_fs_" + std::to_string(GetCurrentProcessId());
  ASSERT_GE(current.size(), tail.size());
  EXPECT_EQ(current.substr(current.size() - tail.size()), tail);
}

TEST(WindowsFileSystem, SameFileNameFollowsWhatWindowsReaches) {
  const ScratchFolder folder;
  folder.Write("list.html");
  folder.Write("other.html");
  const std::string& d = folder.path;
  struct Row {
    std::string first;
    std::string second;
    bool same;
  };
  const Row rows[] = {
      {d + "\\list.html", d + "\\LIST.HTML", true},          // letter case
      {d + "\\list.html ", d + "\\list.html", true},         // a trailing blank is dropped
      {d + "\\list.html.", d + "\\list.html", true},         // so is a trailing dot
      {d + "/list.html", d + "\\list.html", true},           // '/' between folders
      {d + "\\other.html", d + "\\list.html", false},        // two files
      {d + "\\missing.html", d + "\\MISSING.HTML", true},    // no file, only case differs
      {d + "\\missing.html", d + "\\missing2.html", false},  // no file at all
      {d + "\\missing.html", d + "\\list.html", false},      // one of them missing
  };
  for (const Row& row : rows) {
    EXPECT_EQ(SameFileName(row.first, row.second), row.same) << row.first << " | " << row.second;
    EXPECT_EQ(SameFileName(row.second, row.first), row.same) << row.second << " | " << row.first;
  }
}

TEST(WindowsFileSystem, OpensFilesByTheirAnsiNamesButNotFolders) {
  const ScratchFolder folder;
  // "Список.txt" in Windows-1251; the ANSI code page of the test run is 1251.
  const std::string russian = folder.Write("\xD1\xEF\xE8\xF1\xEE\xEA.txt");
  const std::string english = folder.Write("list.txt");
  struct Row {
    std::string name;
    bool opens;
  };
  const Row rows[] = {
      {english, true},
      {russian, true},
      {folder.path, false},
      {folder.path + "\\", false},
      {folder.path + "\\missing.txt", false},
  };
  for (const Row& row : rows) {
    std::ifstream stream;
    EXPECT_EQ(OpenForReading(stream, row.name), row.opens) << row.name;
    EXPECT_EQ(stream.is_open(), row.opens) << row.name;
  }
  WholeFile page;
  EXPECT_FALSE(OpenWholeFile(page, folder.path)) << "a folder cannot become a page";
}

TEST(WindowsWholeFile, TheTemporaryPageIsMadeOnceBesideThePageUnderAFreeName) {
  const ScratchFolder folder;
  folder.Write(TemporaryName(0), "another run's");
  folder.Write("page.html", "the old page");
  WholeFile page;
  ASSERT_TRUE(OpenWholeFile(page, folder.path + "\\page.html"));
  page.stream << "the new page";
  EXPECT_EQ(folder.Names(),
            (std::set<std::string>{TemporaryName(0), TemporaryName(1), "page.html"}));
  EXPECT_EQ(folder.Read("page.html"), "the old page");
  ASSERT_TRUE(FinishWholeFile(page));
  EXPECT_EQ(folder.Read("page.html"), "the new page");
  EXPECT_EQ(folder.Read(TemporaryName(0)), "another run's");
  EXPECT_EQ(folder.Names(), (std::set<std::string>{TemporaryName(0), "page.html"}));
}

TEST(WindowsWholeFile, AHardLinkedPageIsCopiedInPlaceOnceWholeAndAMissingFolderTakesNone) {
  const ScratchFolder folder;
  const std::string page = folder.Write("page.html", "the old page");
  ASSERT_TRUE(CreateHardLinkA((folder.path + "\\link.html").c_str(), page.c_str(), nullptr));
  WholeFile file;
  ASSERT_TRUE(OpenWholeFile(file, page));
  file.stream << "the new page, longer" << std::flush;
  EXPECT_EQ(folder.Read("link.html"), "the old page");  // staged whole before the copy
  ASSERT_TRUE(FinishWholeFile(file));
  EXPECT_EQ(folder.Read("page.html"), "the new page, longer");
  EXPECT_EQ(folder.Read("link.html"), "the new page, longer");
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"link.html", "page.html"}));
  EXPECT_FALSE(OpenWholeFile(file, folder.path + "\\missing\\page.html"));
}

}  // namespace
}  // namespace korvo
