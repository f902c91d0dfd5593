#include "inputs/aspect_types_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "inputs/input_names.h"
#include "platform/file_system.h"
#include "support/test_support.h"

namespace korvo {
namespace {

const std::string kSeparator(1, kPathSeparator);

std::vector<std::string> ReadTypes(const std::string& bytes, std::string* log = nullptr) {
  return test::ReadNamesWith(ReadAspectTypes, bytes, "/t/Natal.asp", log);
}

TEST(ReadAspectTypes, NamesComeFromLinesWithASemicolon) {
  using namespace std::string_literals;
  struct Row {
    std::string bytes;
    std::vector<std::string> names;
  };
  const Row rows[] = {
      {"", {}},
      {"Conjunction;0\nOpposition;180\n", {"Conjunction", "Opposition"}},
      {"Title line\n\n# comment\nTrine;120\n", {"Trine"}},
      {"Trine \t;120\n", {"Trine"}},               // whitespace before ';' is dropped
      {"\t Trine;120\n", {"\t Trine"}},            // leading whitespace stays
      {"Semi Square;45\n", {"Semi Square"}},       // a blank inside stays
      {";\n   ; a comment\n\t;\n", {"", "", ""}},  // empty names
      {"Square;;x;\n", {"Square"}},                // only the first ';' counts
      {"A;\nA;\n", {"A", "A"}},                    // no de-duplication
      {"A;\r\nB ;\r\n", {"A", "B"}},
      {"A\r;\n", {"A"}},        // a CR is whitespace too
      {"A\xA0;\n", {"A\xA0"}},  // bytes from 0x80 up are not
      {"A;\nB;", {"A", "B"}},   // the last line needs no line end
      {"A\0;\nB;"s, {"B"}},     // a zero byte ends the line
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ReadTypes(row.bytes), row.names) << ::testing::PrintToString(row.bytes);
  }
}

TEST(ReadAspectTypes, ANameThatBeginsWithWhitespaceIsLoggedAndKept) {
  std::string log;
  EXPECT_EQ(ReadTypes("Trine;\n\t Trine;120\n Semi Square ;\n   ;\n\vX\n\rSquare;\n A;" +
                          std::string(130, 'c') + "\n",
                      &log),
            (std::vector<std::string>{"Trine", "\t Trine", " Semi Square", "", "\rSquare", " A"}));
  // Each as its line is read, after what reading the line met; a name of blanks alone is
  // empty, and a line without ';' names nothing.
  EXPECT_EQ(log,
            "Line 2 of /t/Natal.asp: the name '\t Trine' begins or ends with whitespace\r\n"
            "Line 3 of /t/Natal.asp: the name ' Semi Square' begins or ends with whitespace\r\n"
            "Line 6 of /t/Natal.asp: the name '\rSquare' begins or ends with whitespace\r\n"
            "Line 7 of /t/Natal.asp cut at 127 bytes\r\n"
            "Line 7 of /t/Natal.asp: the name ' A' begins or ends with whitespace\r\n");
}

TEST(ReadAspectTypes, ALongLineIsCutAndReadingGoesOn) {
  std::string log;
  const std::string longName(120, 'n');
  EXPECT_EQ(ReadTypes(longName + ";" + std::string(79, 'c') + "\n" +  // 200 bytes: name kept
                          std::string(127, 'm') + ";\n" +             // 128 bytes: ';' cut off
                          std::string(126, 'k') + ";\r\n" +           // 127 bytes: whole
                          "B;\n",
                      &log),
            (std::vector<std::string>{longName, std::string(126, 'k'), "B"}));
  EXPECT_EQ(log,
            "Line 1 of /t/Natal.asp cut at 127 bytes\r\n"
            "Line 2 of /t/Natal.asp cut at 127 bytes\r\n");
}

// Opens the aspect-types file as a run in `directory` would, and returns the log.
struct OpenResult {
  bool opened;
  std::string name;
  std::string log;
};

OpenResult Open(const std::string& directory, std::string name, LanguageFlag language,
                ChartMode mode) {
  test::CapturedLog captured;
  std::ifstream stream;
  const bool opened = OpenAspectTypesFile(stream, name, language, mode, directory, captured.log);
  EXPECT_EQ(opened, stream.is_open());
  return {opened, name, captured.Text()};
}

TEST(OpenAspectTypesFile, LogsEveryNameTried) {
  test::TempDirectory directory;
  const std::string cwd = directory.path().string();
  std::filesystem::create_directory(directory.path() / "aspects");
  const std::string natal = cwd + kSeparator + "aspects" + kSeparator + "Natal.asp";
  const std::string transit = cwd + kSeparator + "aspects" + kSeparator + "Transit.asp";
  const std::string given = cwd + kSeparator + "mine.asp";
  const std::string russianNatal =
      cwd + kSeparator + DefaultAspectTypesName(LanguageFlag::russian, ChartMode::natal);
  test::WriteFileBytes(natal, "Trine;\n");
  test::WriteFileBytes(given, "Trine;\n");

  struct Row {
    std::string given;
    LanguageFlag language;
    ChartMode mode;
    OpenResult expected;
  };
  const LanguageFlag en = LanguageFlag::english;
  const LanguageFlag ru = LanguageFlag::russian;
  const Row rows[] = {
      {given, en, ChartMode::natal, {true, given, "Using aspect-types: " + given + "\r\n"}},
      {given, ru, ChartMode::natal, {true, given, "Using aspect-types: " + given + "\r\n"}},
      // A missing -a file is the only name tried, though the default file exists.
      {given + "x",
       en,
       ChartMode::natal,
       {false, given + "x", "File " + given + "x not available\r\n"}},
      {given + "x",
       ru,
       ChartMode::natal,
       {false, given + "x", "File " + given + "x not available\r\n"}},
      {"", en, ChartMode::natal, {true, natal, "Using aspect-type: " + natal + "\r\n"}},
      {"", en, ChartMode::transit, {false, transit, "File " + transit + " not available\r\n"}},
      {"",
       ru,
       ChartMode::natal,
       {false, "!" + russianNatal,
        "File " + russianNatal + " not available\r\nFile !" + russianNatal + " not available\r\n"}},
  };
  for (const Row& row : rows) {
    const OpenResult result = Open(cwd, row.given, row.language, row.mode);
    EXPECT_EQ(result.opened, row.expected.opened) << row.given;
    EXPECT_EQ(result.name, row.expected.name) << row.given;
    EXPECT_EQ(result.log, row.expected.log) << row.given;
  }
  test::WriteFileBytes(russianNatal, "Trine;\n");
  const OpenResult russian = Open(cwd, "", ru, ChartMode::natal);
  EXPECT_TRUE(russian.opened);
  EXPECT_EQ(russian.log, "Using aspect-type: " + russianNatal + "\r\n");
}

TEST(OpenAspectTypesFile, RussianTriesLookForTheUtf8SpellingWhereNamesMayBeUtf8) {
  test::TempDirectory directory;
  const std::string cwd = directory.path().string();
  std::filesystem::create_directory(directory.path() / "aspects");
  for (const ChartMode mode : {ChartMode::natal, ChartMode::transit}) {
    const std::string windows1251 =
        cwd + kSeparator + DefaultAspectTypesName(LanguageFlag::russian, mode);
    const std::string utf8 = cwd + kSeparator + RussianDefaultAspectTypesUtf8Name(mode);
    const std::string neither =
        "File " + windows1251 + " not available\r\nFile !" + windows1251 + " not available\r\n";
    struct Row {
      std::vector<std::string> present;
      std::string log;
    };
    const Row rows[] = {
        {{}, neither},
        {{windows1251}, "Using aspect-type: " + windows1251 + "\r\n"},
        {{windows1251, utf8}, "Using aspect-type: " + windows1251 + "\r\n"},
        {{utf8}, "Using aspect-type: " + utf8 + "\r\n"},
    };
    for (const Row& row : rows) {
      for (const std::string& name : row.present) test::WriteFileBytes(name, "Trine;\n");
      const OpenResult result = Open(cwd, "", LanguageFlag::russian, mode);
      EXPECT_EQ(result.log, row.log);
      EXPECT_EQ(result.opened, row.log.starts_with("Using"));
      for (const std::string& name : row.present) std::remove(name.c_str());
    }
  }
  EXPECT_EQ(RussianDefaultAspectTypesUtf8Name(ChartMode::transit),
            "aspects" + kSeparator + "Транзит.asp");
  EXPECT_EQ(RussianDefaultAspectTypesUtf8Name(ChartMode::natal),
            "aspects" + kSeparator + "мбФбЅ.asp");
}

TEST(OpenAspectTypesFile, ADefaultNameWithoutAnAbsoluteFormIsLoggedAsGiven) {
  if (kPathSeparator != '/') GTEST_SKIP() << "the directory lengths below are for POSIX names";
  const std::string natalName = DefaultAspectTypesName(LanguageFlag::english, ChartMode::natal);
  const std::string russianName = DefaultAspectTypesName(LanguageFlag::russian, ChartMode::natal);
  ASSERT_EQ(natalName.size(), 17u);
  ASSERT_EQ(russianName.size(), 17u);
  // Both absolute names are 4095 bytes: English has room (4096), Russian one byte less (4095),
  // and a name refused for its length is followed by the longest name its buffer holds.
  const std::string directory = std::string(1, '/').append(4076, 'd');
  const std::string tooLong = "The name is longer than 4094 bytes\r\n";
  struct Row {
    std::string cwd;
    LanguageFlag language;
    std::string log;
  };
  const Row rows[] = {
      {"", LanguageFlag::english, "File " + natalName + " not available\r\n"},
      {"", LanguageFlag::russian,
       "File " + russianName + " not available\r\nFile !" + russianName + " not available\r\n"},
      {directory, LanguageFlag::english,
       "File " + directory + "/" + natalName + " not available\r\n"},
      {directory, LanguageFlag::russian,
       "File " + russianName + " not available\r\n" + tooLong + "File !" + russianName +
           " not available\r\n" + tooLong},
      {directory.substr(1), LanguageFlag::english, "File " + natalName + " not available\r\n"},
      {directory.substr(0, 4076), LanguageFlag::russian,
       "File " + directory.substr(0, 4076) + "/" + russianName + " not available\r\nFile !" +
           directory.substr(0, 4076) + "/" + russianName + " not available\r\n"},
  };
  for (const Row& row : rows) {
    const OpenResult result = Open(row.cwd, "", row.language, ChartMode::natal);
    EXPECT_FALSE(result.opened);
    EXPECT_EQ(result.log, row.log) << row.cwd.size() << " bytes of directory";
  }
}

}  // namespace
}  // namespace korvo
