#include "aspectlist/aspect_entry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "aspectlist/entry_order.h"
#include "support/test_support.h"

namespace korvo {
namespace {

// An entry's fields as plain values, so that rows can be compared in one step.
struct Fields {
  std::string aspect, fromPlanet, toPlanet, orbText;
  std::int32_t orbSeconds;
  char orbSign;

  bool operator==(const Fields&) const = default;
};

void PrintTo(const Fields& f, std::ostream* out) {
  *out << "{" << ::testing::PrintToString(f.aspect) << ", "
       << ::testing::PrintToString(f.fromPlanet) << ", " << ::testing::PrintToString(f.toPlanet)
       << ", " << ::testing::PrintToString(f.orbText) << ", " << f.orbSeconds << ", "
       << ::testing::PrintToString(f.orbSign) << "}";
}

std::optional<Fields> Parse(const std::string& line) {
  const std::optional<AspectFields> entry = ParseAspectLine(line);
  if (!entry) return std::nullopt;
  return Fields{std::string(entry->aspect),
                std::string(entry->fromPlanet),
                std::string(entry->toPlanet),
                std::string(entry->orbText),
                entry->orbSeconds,
                entry->orbSign};
}

struct ParseRow {
  std::string line;
  Fields expected;
};

void ExpectRows(const std::vector<ParseRow>& rows) {
  for (const ParseRow& row : rows) {
    EXPECT_EQ(Parse(row.line), row.expected) << ::testing::PrintToString(row.line);
  }
}

// '°' is the byte 0xB0, as in the input files.
#define DEG "\xB0"

TEST(ParseAspectLine, SplitsTheLineIntoItsFields) {
  ExpectRows({
      {"Conjunction Sun-Moon +1" DEG "23'45\"",
       {"Conjunction", "Sun", "Moon", "1" DEG "23'45\"", 5025, '+'}},
      {"Trine Mars-Venus 0" DEG "05'", {"Trine", "Mars", "Venus", "0" DEG "05'", 300, ' '}},
      // The first '-' splits the planets, the second one is the sign.
      {"Sextile Sun-Moon -1" DEG "00'", {"Sextile", "Sun", "Moon", "1" DEG "00'", 3600, '-'}},
      // Whitespace before the '-' stays in the from-planet, after it in the to-planet.
      {"Conj Sun -Moon 1" DEG, {"Conj", "Sun ", "Moon", "1" DEG, 3600, ' '}},
      {"Conj Sun- Moon 1" DEG, {"Conj", "Sun", " Moon", "1" DEG, 3600, ' '}},
      {"Conj Sun-Moon+1" DEG, {"Conj", "Sun", "Moon", "1" DEG, 3600, '+'}},
      {"Trine Sun-Moon  +3" DEG, {"Trine", "Sun", "Moon", "3" DEG, 10800, '+'}},
      {"Trine\t \tSun-Moon \t 3" DEG, {"Trine", "Sun", "Moon", "3" DEG, 10800, ' '}},
      {"Trine Sun-Moonx3" DEG, {"Trine", "Sun", "Moon", "3" DEG, 10800, 'x'}},  // any sign byte
      {"Trine Sun-+2" DEG, {"Trine", "Sun", "", "2" DEG, 7200, '+'}},
      // A line that begins with whitespace has an empty aspect name.
      {" Conj Sun-Moon 1" DEG, {"", "Conj Sun", "Moon", "1" DEG, 3600, ' '}},
      // No digits before the degree sign: the orb text starts at it.
      {"Conj Sun-Moon " DEG "30'", {"Conj", "Sun", "Moon", DEG "30'", 1800, ' '}},
      // The first 0xB0 after the '-' ends the orb digits, even inside a name.
      {"Conj Sun-Mo" DEG "on 1" DEG, {"Conj", "Sun", "M", DEG "on 1" DEG, 3600, 'o'}},
      // Windows-1251 letters are ordinary bytes, neither whitespace nor digits.
      {test::Cp1251("Трин Солнце-Луна 1°05'"),
       {test::Cp1251("Трин"), test::Cp1251("Солнце"), test::Cp1251("Луна"), "1" DEG "05'", 3900,
        ' '}},
      {"Conj Sun-Moon\xA0"
       "1" DEG,
       {"Conj", "Sun", "Moon", "1" DEG, 3600, '\xA0'}},
      // Markup in a name is taken as it is.
      {"<b>Conj A&B-C<D 1" DEG, {"<b>Conj", "A&B", "C<D", "1" DEG, 3600, ' '}},
  });
}

TEST(ParseAspectLine, CountsDegreesMinutesAndSeconds) {
  ExpectRows({
      {"Square Sun-Moon 2" DEG, {"Square", "Sun", "Moon", "2" DEG, 7200, ' '}},  // degrees alone
      {"Square Sun-Moon 1" DEG "30", {"Square", "Sun", "Moon", "1" DEG "30", 3600, ' '}},
      {"Square Sun-Moon 1" DEG "30'15", {"Square", "Sun", "Moon", "1" DEG "30'15", 5400, ' '}},
      {"Square Sun-Moon 0" DEG "00'30\"", {"Square", "Sun", "Moon", "0" DEG "00'30\"", 30, ' '}},
      {"Square Sun-Moon 0" DEG, {"Square", "Sun", "Moon", "0" DEG, 0, ' '}},
      // Seconds close the orb, so the degree count is not multiplied once more.
      {"Square Sun-Moon 1" DEG "2\"", {"Square", "Sun", "Moon", "1" DEG "2\"", 62, ' '}},
      {"Square Sun-Moon 10" DEG "5 '", {"Square", "Sun", "Moon", "10" DEG "5 '", 36300, ' '}},
  });
}

TEST(ParseAspectLine, CapsOrbSecondsInsteadOfOverflowing) {
  constexpr std::int32_t kMax = 2147483647;
  const std::string digits40(40, '9');
  struct Row {
    std::string orb;
    std::int32_t seconds;
  };
  const Row rows[] = {
      {"596523" DEG "14'06\"", 2147483646},  // 596523 * 3600 + 14 * 60 + 6
      {"596523" DEG "14'07\"", kMax},        // exactly the largest value
      {"596523" DEG "14'08\"", kMax},        // one more would wrap to a negative value
      {"596523" DEG, 2147482800},
      {"596524" DEG, kMax},
      {digits40 + DEG, kMax},
      {"1" DEG + digits40 + "'", kMax},
      {"1" DEG "2'" + digits40 + "\"", kMax},
      {"1" DEG "30'" + digits40, 5400},  // digits after the last mark are not counted
      {digits40 + DEG + digits40 + "'" + digits40 + "\"", kMax},
  };
  for (const Row& row : rows) {
    const std::optional<Fields> fields = Parse("Conj Sun-Moon " + row.orb);
    ASSERT_TRUE(fields) << row.orb;
    EXPECT_EQ(fields->orbSeconds, row.seconds) << row.orb;
  }
}

TEST(ParseAspectLine, NoZeroSignWhenTheDigitsFollowTheDash) {
  ExpectRows({
      {"Conj Sun-1" DEG, {"Conj", "Sun", "", "1" DEG, 3600, ' '}},
      {"Conj Sun-0" DEG "30'", {"Conj", "Sun", "", "0" DEG "30'", 1800, ' '}},
  });
}

TEST(ParseAspectLine, GivesNoEntryForAMalformedLine) {
  const std::string rows[] = {
      "Conj" DEG "Sun-Moon",  // no whitespace
      DEG,
      "Conj Sun Moon 1" DEG,   // no '-'
      "Co-nj Sun Moon 1" DEG,  // the only '-' stands in the aspect name
      "Conj " DEG,
      "Conj S" DEG "un-Moon 1",  // no 0xB0 after the '-'
      "Conj Sun-Moon 1'",        // no 0xB0 at all
      "",
  };
  for (const std::string& line : rows) {
    EXPECT_EQ(Parse(line), std::nullopt) << ::testing::PrintToString(line);
  }
}

TEST(IsCompleteOrb, DegreesThenOptionalMinutesAndSecondsThenOnlyWhitespace) {
  struct Row {
    std::string orbText;
    bool complete;
  };
  const Row rows[] = {
      {"2" DEG, true},
      {"2" DEG "30\"", true},  // the minutes may be left out
      {"12" DEG "05'30\" \t\r", true},
      {DEG "30'", false},    // no digits for the degrees
      {"2" DEG "'", false},  // a mark needs its digits
      {"2" DEG "15'30", false},
      {"55" DEG "45'N", false},
      {"2" DEG "30\"15'", false},  // seconds before minutes
      {"", false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(IsCompleteOrb(row.orbText), row.complete) << ::testing::PrintToString(row.orbText);
  }
  // A line is complete when it is an aspect line and the orb the parser takes is.
  EXPECT_TRUE(IsCompleteAspectLine("Square Mars-Jupiter 1.5" DEG));  // the orb text is "5°"
  EXPECT_FALSE(IsCompleteAspectLine("Trine SunMoon 1" DEG));
}

TEST(AddEntry, TheEntryKeepsItsOwnCopyOfTheTexts) {
  AspectList list;
  std::string line = "Trine Sun-Moon -2" DEG "15'";
  const std::optional<AspectFields> fields = ParseAspectLine(line);
  ASSERT_TRUE(fields);
  AddEntry(list, *fields);
  line.assign(line.size(), '#');  // the caller's line buffer is reused
  ASSERT_EQ(list.entries.size(), 1u);
  EXPECT_EQ(AspectNameText(list, 0), "Trine");
  EXPECT_EQ(FromPlanetText(list, 0), "Sun");
  EXPECT_EQ(ToPlanetText(list, 0), "Moon");
  EXPECT_EQ(OrbTextOf(list, 0), "2" DEG "15'");
  EXPECT_EQ(list.entries[0].orbSign, '-');
  EXPECT_EQ(list.entries[0].orbSeconds, 8100);
}

TEST(AddEntry, EqualBytesShareANumberAndPlanetsShareOneTable) {
  AspectList list;
  const std::vector<std::string> lines = {"Trine Sun-Moon 1" DEG, "Trine Moon-Sun 1" DEG,
                                          "trine Sun-Sun  1" DEG, "Trine Sun -Moon 2" DEG,
                                          "Trine\tMars-Moon 1" DEG "00'"};
  for (const std::string& line : lines) AddEntry(list, *ParseAspectLine(line));
  const std::vector<AspectEntry>& e = list.entries;
  EXPECT_EQ(e[0].aspect, e[1].aspect);
  EXPECT_NE(e[0].aspect, e[2].aspect);  // case counts
  EXPECT_EQ(e[0].fromPlanet, e[1].toPlanet);
  EXPECT_EQ(e[0].toPlanet, e[1].fromPlanet);
  EXPECT_EQ(e[2].fromPlanet, e[2].toPlanet);
  EXPECT_NE(e[3].fromPlanet, e[0].fromPlanet);  // "Sun " keeps its blank
  EXPECT_EQ(e[0].orbText, e[1].orbText);
  EXPECT_NE(e[0].orbText, e[4].orbText);
  EXPECT_EQ(TextCount(list.aspectNames), 2u);
  EXPECT_EQ(TextCount(list.planetNames), 4u);  // Sun, Moon, "Sun ", Mars
  EXPECT_EQ(TextOf(list.planetNames, e[3].fromPlanet), "Sun ");
  EXPECT_EQ(TextOf(list.planetNames, e[4].fromPlanet), "Mars");
}

TEST(AspectEntry, CharacterClasses) {
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    const bool whitespace = byte == 0x20 || (byte >= 0x09 && byte <= 0x0D);
    const bool digit = byte >= '0' && byte <= '9';
    EXPECT_EQ(IsWhitespace(c), whitespace) << byte;
    EXPECT_EQ(IsDigit(c), digit) << byte;
  }
}

}  // namespace
}  // namespace korvo
