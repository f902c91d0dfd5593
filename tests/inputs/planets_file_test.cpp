#include "inputs/planets_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace korvo {
namespace {

std::vector<std::string> ReadNames(const std::string& bytes, std::string* log = nullptr) {
  return test::ReadNamesWith(ReadPlanets, bytes, "/p/Planets.txt", log);
}

TEST(ReadPlanets, OneNamePerLine) {
  using namespace std::string_literals;
  struct Row {
    std::string bytes;
    std::vector<std::string> names;
  };
  const Row rows[] = {
      {"", {}},
      {"Sun\nMoon\n", {"Sun", "Moon"}},
      {"Sun\r\nMoon\r\n", {"Sun", "Moon"}},
      {"Sun\nMoon", {"Sun", "Moon"}},                     // the last line counts once
      {"Sun \nMoon\t\n", {"Sun ", "Moon\t"}},             // trailing blanks belong to the name
      {" Mars\n\tVenus\n\vX\n\fY\n\rZ\nSun\n", {"Sun"}},  // leading whitespace: skipped
      {"\n", {""}},                                       // an empty line is the empty name
      {"Sun\n\r\nMoon\n", {"Sun", "", "Moon"}},
      {"Sun\nSun\n", {"Sun", "Sun"}},            // no duplicate test
      {"; Sun\n# Moon\n", {"; Sun", "# Moon"}},  // no comment character
      {"\xD1\xEE\xEB\xED\xF6\xE5\n", {"\xD1\xEE\xEB\xED\xF6\xE5"}},
      {"\xA0Sun\n", {"\xA0Sun"}},  // 0xA0 is not whitespace
      {"Sun\0junk\nMoon"s, {"Sun", "Moon"}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ReadNames(row.bytes), row.names) << ::testing::PrintToString(row.bytes);
  }
}

TEST(ReadPlanets, ANameThatEndsWithWhitespaceIsLoggedAndKept) {
  std::string log;
  EXPECT_EQ(ReadNames("Sun \nMoon\n Mars \nVenus\t\r\n\nPluto\f\nS u n\nX\r", &log),
            (std::vector<std::string>{"Sun ", "Moon", "Venus\t", "", "Pluto\f", "S u n", "X\r"}));
  // A CR that ends the file's last line, without a line feed, is part of its name.
  EXPECT_EQ(log,
            "Line 1 of /p/Planets.txt: the name 'Sun ' begins or ends with whitespace\r\n"
            "Line 4 of /p/Planets.txt: the name 'Venus\t' begins or ends with whitespace\r\n"
            "Line 6 of /p/Planets.txt: the name 'Pluto\f' begins or ends with whitespace\r\n"
            "Line 8 of /p/Planets.txt: the name 'X\r' begins or ends with whitespace\r\n");
}

TEST(ReadPlanets, ALongLineIsCutAndReadingGoesOn) {
  std::string log;
  const std::vector<std::string> expected = {std::string(127, 'a'), std::string(127, 'b'), "Moon"};
  EXPECT_EQ(ReadNames(std::string(127, 'a') + "\r\n" + std::string(128, 'b') + "\n" + " " +
                          std::string(200, 'c') + "\nMoon",
                      &log),
            expected);
  EXPECT_EQ(log,
            "Line 2 of /p/Planets.txt cut at 127 bytes\r\n"
            "Line 3 of /p/Planets.txt cut at 127 bytes\r\n");
}

}  // namespace
}  // namespace korvo
