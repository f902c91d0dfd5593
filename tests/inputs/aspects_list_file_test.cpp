#include "inputs/aspects_list_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "aspectlist/entry_order.h"
#include "support/test_support.h"

namespace korvo {
namespace {

#define DEG "\xB0"

constexpr std::string_view kInputName = "/data/in.txt";

// What reading one aspects list gives: the header lines, the entries as "aspect from-to sign
// orb", and the log lines written on the way.
struct ReadResult {
  std::vector<std::string> header;
  std::vector<std::string> entries;
  std::string log;
};

std::string Describe(const AspectList& list, EntryRef ref) {
  return std::string(AspectNameText(list, ref)) + " " + std::string(FromPlanetText(list, ref)) +
         "-" + std::string(ToPlanetText(list, ref)) + " " + EntryAt(list, ref).orbSign +
         std::string(OrbTextOf(list, ref));
}

ReadResult Read(const std::string& bytes) {
  std::istringstream input(bytes);
  LineReader reader = MakeLineReader(input, CodePage::windows1252);
  test::CapturedLog captured;
  std::vector<std::string> header;
  AspectList aspects;
  ReadAspectsList(reader, header, aspects, captured.log, kInputName);
  ReadResult result{header, {}, captured.Text()};
  for (const EntryRef ref : ReadingOrder(aspects)) result.entries.push_back(Describe(aspects, ref));
  return result;
}

TEST(ReadAspectsList, HeaderIsTheFirstFourLines) {
  struct Row {
    std::string bytes;
    std::vector<std::string> header;
  };
  const Row rows[] = {
      {"", {"", "", "", ""}},
      {"one\ntwo\n", {"one", "two", "", ""}},
      {"one\r\ntwo", {"one", "two", "", ""}},
      {"1\n2\n3\n4\n", {"1", "2", "3", "4"}},
      {"1\n\n\n4\n", {"1", "", "", "4"}},
      {"<b>1</b>\n&2\n3\n4", {"<b>1</b>", "&2", "3", "4"}},  // escaped on the page, not here
      // A header line holding a degree sign is not parsed.
      {"Conj Sun-Moon 1" DEG "x\nTrine A-B 2\n3\n4\n",
       {"Conj Sun-Moon 1" DEG "x", "Trine A-B 2", "3", "4"}},
  };
  for (const Row& row : rows) {
    const ReadResult result = Read(row.bytes);
    EXPECT_EQ(result.header, row.header) << ::testing::PrintToString(row.bytes);
    EXPECT_TRUE(result.entries.empty()) << ::testing::PrintToString(row.bytes);
    EXPECT_EQ(result.log, "") << ::testing::PrintToString(row.bytes);
  }
}

TEST(ReadAspectsList, EveryBodyLineWithADegreeSignIsAnAspect) {
  using namespace std::string_literals;
  const std::string header = "h1\nh2\nh3\nh4\n";
  struct Row {
    std::string body;
    std::vector<std::string> entries;
    std::string log = {};
  };
  const Row rows[] = {
      {"Conj Sun-Moon 1" DEG "\n", {"Conj Sun-Moon  1" DEG}},
      {"Conj Sun-Moon 1" DEG, {"Conj Sun-Moon  1" DEG}},  // the last line counts once
      {"Conj Sun-Moon 1" DEG "\r\n", {"Conj Sun-Moon  1" DEG}},
      {"Title\n\nConj Sun-Moon -1" DEG "\nnote - 5\nTrine Mars-Venus +2" DEG "30'\n",
       {"Conj Sun-Moon -1" DEG, "Trine Mars-Venus +2" DEG "30'"}},
      // Lines stay in file order, whatever their orbs.
      {"A x-y 9" DEG "\nB x-y 1" DEG "\nC x-y 5" DEG,
       {"A x-y  9" DEG, "B x-y  1" DEG, "C x-y  5" DEG}},
      // A zero byte ends the line: here before the degree sign, so no aspect.
      // Each such line is logged, with its number in the file.
      {"Conj Sun-Moon 1\0" DEG "\nTrine A-B 2" DEG "\0tail"s,
       {"Trine A-B  2" DEG},
       "Line 5 of /data/in.txt cut at a zero byte\r\n"
       "Line 6 of /data/in.txt cut at a zero byte\r\n"},
      // A zero byte that is the last byte of its line loses nothing and is not logged.
      {"Trine A-B 2" DEG "\0\r\n"s, {"Trine A-B  2" DEG}},
  };
  for (const Row& row : rows) {
    const ReadResult result = Read(header + row.body);
    EXPECT_EQ(result.header, (std::vector<std::string>{"h1", "h2", "h3", "h4"}));
    EXPECT_EQ(result.entries, row.entries) << ::testing::PrintToString(row.body);
    EXPECT_EQ(result.log, row.log) << ::testing::PrintToString(row.body);
  }
}

TEST(ReadAspectsList, ALongLineIsCutLoggedAndReadingGoesOn) {
  const std::string aspect = "Trine Sun-Moon 1" DEG;
  const std::string longAspect = aspect + std::string(200 - aspect.size(), 'x');
  const std::string lateDegree = std::string(130, 'y') + DEG;  // 0xB0 beyond byte 127
  const ReadResult result = Read("h1\n" + std::string(150, 'H') + "\nh3\nh4\n" + longAspect + "\n" +
                                 lateDegree + "\nSquare Mars-Venus 3" DEG "\n");
  EXPECT_EQ(result.header, (std::vector<std::string>{"h1", std::string(127, 'H'), "h3", "h4"}));
  const std::vector<std::string> entries = {
      "Trine Sun-Moon  1" DEG + std::string(127 - aspect.size(), 'x'), "Square Mars-Venus  3" DEG};
  EXPECT_EQ(result.entries, entries);
  EXPECT_EQ(result.log,
            "Line 2 of /data/in.txt cut at 127 bytes\r\n"
            "Line 5 of /data/in.txt cut at 127 bytes\r\n"
            "Line 6 of /data/in.txt cut at 127 bytes\r\n");
}

TEST(ReadAspectsList, AMalformedLineIsLoggedAndPassedOver) {
  const ReadResult result = Read(
      "h1\nh2\nh3\nh4\n"
      "Conj" DEG
      "Sun-Moon\n"  // line 5: no whitespace
      "\n"
      "Conj Sun Moon 1" DEG
      "\n"  // line 7: no '-'
      "Trine Mars-Venus 2" DEG
      "\n"
      "Conj S" DEG
      "un-Moon 1\n"  // line 9: no 0xB0 after the '-'
      "no degree sign - not logged\n"
      "Co-nj Sun Moon 1" DEG +
      std::string(120, 'z') +  // line 11: cut, then found malformed
      "\nSquare A-B 3" DEG);
  const std::vector<std::string> entries = {"Trine Mars-Venus  2" DEG, "Square A-B  3" DEG};
  EXPECT_EQ(result.entries, entries);
  EXPECT_EQ(result.log,
            "Line 5 of /data/in.txt skipped: not an aspect line\r\n"
            "Line 7 of /data/in.txt skipped: not an aspect line\r\n"
            "Line 9 of /data/in.txt skipped: not an aspect line\r\n"
            "Line 11 of /data/in.txt cut at 127 bytes\r\n"
            "Line 11 of /data/in.txt skipped: not an aspect line\r\n");
}

TEST(ReadAspectsList, AHeaderOfFourAspectLinesIsLoggedAndStillTakenAsTheHeader) {
  const std::string aspect = "Trine Sun-Moon 1" DEG;
  const std::string partial = "Trine Sun-Moon 1" DEG "x";
  const std::string logged = "Header of /data/in.txt reads as aspect lines\r\n";
  struct Row {
    std::string bytes;
    std::string log;
  };
  const Row rows[] = {
      {aspect + "\n" + aspect + "\n" + aspect + "\n" + aspect + "\n", logged},
      {aspect + "\nSquare\tA-B -2" DEG "\nC x-y 3" DEG "1'\nD p -q 0" DEG "\n", logged},
      // A header line that fails any of the three tests is a header line (the others here
      // have no whole orb, so they are not logged one by one).
      {partial + "\n" + partial + "\n" + partial + "\nA title\n", ""},
      {partial + "\n" + partial + "\n" + partial + "\nConj" DEG "Sun-Moon\n", ""},
      {partial + "\n" + partial + "\n" + partial + "\nConj Sun Moon 1" DEG "\n", ""},
      {partial + "\n" + partial + "\n" + partial + "\nConj S" DEG "un-Moon\n", ""},
      {"Conj-Sun 1" DEG "\n" + partial + "\n" + partial + "\n" + partial + "\n", ""},
      // Cut lines are logged as they are read, before the header's line.
      {aspect + "\n" + aspect + std::string(120, 'x') + "\n" + aspect + "\n" + aspect + "\n",
       "Line 2 of /data/in.txt cut at 127 bytes\r\n" + logged},
  };
  for (const Row& row : rows) {
    const ReadResult result = Read(row.bytes + "Square Mars-Venus 3" DEG "\n");
    EXPECT_EQ(result.log, row.log) << ::testing::PrintToString(row.bytes);
    EXPECT_EQ(result.entries, std::vector<std::string>{"Square Mars-Venus  3" DEG})
        << ::testing::PrintToString(row.bytes);
    EXPECT_EQ(result.header.size(), 4u) << ::testing::PrintToString(row.bytes);
  }
  // A missing line is an empty one, which is no aspect line.
  EXPECT_EQ(Read(aspect + "\n" + aspect + "\n" + aspect + "\n").header,
            (std::vector<std::string>{aspect, aspect, aspect, ""}));
}

TEST(ReadAspectsList, AHeaderLineThatReadsAsAWholeAspectLineIsLogged) {
  const auto logged = [](int number) {
    return "Line " + std::to_string(number) +
           " of /data/in.txt is in the header but reads as an aspect line\r\n";
  };
  struct Row {
    std::string header;
    std::string log;
  };
  const Row rows[] = {
      // A one-line title, then the aspects from line 2.
      {"Natal chart\nTrine Sun-Moon +2" DEG "15'30\"\nSquare Sun-Mars 5" DEG
       "\nSextile Moon-Venus -1" DEG "02'\n",
       logged(2) + logged(3) + logged(4)},
      // The orb text is the parser's: from the first digit before the 0xB0.
      {"Square Mars-Jupiter 1.5" DEG "\nh2\nh3\nh4\n", logged(1)},
      {"Moscow 12-03-1990 55" DEG "45'N\nh2\nh3\nh4\n", ""},
      // Four aspect lines: the header's own line, and no line of each.
      {"A x-y 1" DEG "\nB x-y 2" DEG "\nC x-y 3" DEG "\nD x-y 4" DEG "\n",
       "Header of /data/in.txt reads as aspect lines\r\n"},
      {"A x-y 1" DEG "\nB x-y 2" DEG "\nC x-y 3" DEG "\nD title\n",
       logged(1) + logged(2) + logged(3)},
      // A shorter list is tested too, its lines coming after the line that says how it was read.
      {"Trine S\xC3\xBCn-Moon 1\xC2\xB0\n",
       "Read 1 lines of /data/in.txt as UTF-8\r\n" + logged(1)},
  };
  for (const Row& row : rows) {
    const ReadResult result = Read(row.header);
    EXPECT_EQ(result.log, row.log) << ::testing::PrintToString(row.header);
    EXPECT_TRUE(result.entries.empty()) << ::testing::PrintToString(row.header);
  }
}

TEST(ReadAspectsList, AnOddOrbSignIsLoggedAndTheEntryKeptAsItIs) {
  struct Row {
    std::string line;
    std::string entry;
    std::string log;  // for the aspect line, which is line 5
  };
  const std::string odd = "Line 5 of /data/in.txt: orb sign '";
  const std::string tail = "' is not +, - or a blank\r\n";
  const Row rows[] = {
      {"Square Mars-Jupiter 1.5" DEG, "Square Mars-Jupiter 1 .5" DEG, odd + "." + tail},
      {"Trine Sun-Moon x3" DEG, "Trine Sun-Moon x3" DEG, odd + "x" + tail},
      {"Trine Sun-Moon \xFF"
       "3" DEG,
       "Trine Sun-Moon \xFF"
       "3" DEG,
       odd + "ÿ" + tail},  // the sign in UTF-8, as the names of the files are
      {"Trine Sun-Moon :3" DEG, "Trine Sun-Moon :3" DEG, odd + ":" + tail},
      // The signs an orb is written with, and no sign at all, are not logged.
      {"Trine Sun-Moon +3" DEG, "Trine Sun-Moon +3" DEG, ""},
      {"Trine Sun-Moon -3" DEG, "Trine Sun-Moon -3" DEG, ""},
      {"Trine Sun-Moon\t3" DEG, "Trine Sun-Moon  3" DEG, ""},
      {"Trine Sun-Moon 3" DEG, "Trine Sun-Moon  3" DEG, ""},
      {"Trine Sun-3" DEG, "Trine Sun-  3" DEG, ""},
      {"Trine Sun-Moon " DEG "3" DEG, "Trine Sun-Moon  " DEG "3" DEG, ""},  // no orb digits
  };
  for (const Row& row : rows) {
    const ReadResult result = Read("h1\nh2\nh3\nh4\n" + row.line + "\n");
    EXPECT_EQ(result.entries, std::vector<std::string>{row.entry}) << row.line;
    EXPECT_EQ(result.log, row.log) << row.line;
  }
}

TEST(ReadAspectsList, EntriesStayIntactWhileLaterLinesAreRead) {
  std::string bytes = "h1\nh2\nh3\nh4\n";
  for (int i = 0; i < 2000; ++i) {
    const std::string n = std::to_string(i);
    bytes.append("A").append(n).append(" From").append(n).append("-To").append(n).append(" ");
    bytes.append(std::to_string(i % 30)).append(DEG "\n");
  }
  const ReadResult result = Read(bytes);
  ASSERT_EQ(result.entries.size(), 2000u);
  for (const int i : {0, 1, 63, 64, 65, 1000, 1999}) {
    const std::string n = std::to_string(i);
    EXPECT_EQ(result.entries[static_cast<std::size_t>(i)],
              "A" + n + " From" + n + "-To" + n + "  " + std::to_string(i % 30) + DEG);
  }
}

}  // namespace
}  // namespace korvo
