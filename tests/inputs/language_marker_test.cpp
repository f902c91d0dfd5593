#include "inputs/language_marker.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace korvo {
namespace {

TEST(DetectLanguage, RussianWhenTheMarkerFileOpens) {
  test::TempDirectory directory;
  const std::string currentDirectory = directory.path().string();
  EXPECT_EQ(DetectLanguage(currentDirectory), LanguageFlag::english);
  std::filesystem::create_directory(directory.path() / "Config");
  std::filesystem::create_directory(directory.path() / "Config" / "RUSSIAN.ini");
  EXPECT_EQ(DetectLanguage(currentDirectory), LanguageFlag::english);  // a directory: no marker
  std::filesystem::remove(directory.path() / "Config" / "RUSSIAN.ini");
  test::WriteFileBytes(directory.path() / "Config" / "RUSSIAN.ini", "");  // empty still counts
  EXPECT_EQ(DetectLanguage(currentDirectory), LanguageFlag::russian);
  EXPECT_EQ(DetectLanguage(""), LanguageFlag::english);  // no usable current directory
}

}  // namespace
}  // namespace korvo
