// Property test of whole runs: for random well-formed aspect lists, random aspect-types files
// without duplicates and random planets files without duplicates, in both languages and both
// modes, the page's three tables together hold every aspect read:
//   table 1 and table 2 hold exactly the entries of the list, table 3 holds each entry once in
//   transit mode and twice (once under each planet) in natal mode;
// table 1 is in ascending orb order, the groups of tables 2 and 3 come in the order of their
// files followed by the names the files lack, and each group is in ascending orb order.
// The page is read back by splitting its rows, not by the program's own writer.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "driver/run.h"

namespace korvo {
namespace {

namespace fs = std::filesystem;

// What one table row shows: aspect, from-planet, to-planet, the sign as written, the orb text.
using Row = std::tuple<std::string, std::string, std::string, std::string, std::string>;

struct Generated {
  std::string input;
  std::string aspectTypesFile;
  std::vector<std::string> typesInFile;
  std::string planetsFile;
  std::vector<std::string> planetsInFile;
  std::vector<Row> rows;                        // in input order
  std::map<std::string, int> secondsOfOrbText;  // the orb value each orb text stands for
};

const std::vector<std::string> kAspectNames = {"Conjunction",      "Opposition",  "Trine",
                                               "Square",           "Sextile",     "Quincunx",
                                               "Semisquare",       "conjunction",
                                               "\xD2\xF0\xE8\xED",  // a Windows-1251 name
                                               "Semi-sextile"};
const std::vector<std::string> kFromPlanets = {
    "Sun",    "Moon",   "Mercury", "Venus", "Mars", "Jupiter",
    "Saturn", "Uranus", "Neptune", "Pluto", "ASC",  "\xD1\xEE\xEB\xED\xF6\xE5"};

template <typename T>
const T& Pick(std::mt19937& random, const std::vector<T>& from) {
  return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
}

int Uniform(std::mt19937& random, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(random);
}

// A random subset of `names` in random order, each at most once.
std::vector<std::string> Subset(std::mt19937& random, std::vector<std::string> names) {
  std::shuffle(names.begin(), names.end(), random);
  names.resize(static_cast<std::size_t>(Uniform(random, 0, static_cast<int>(names.size()))));
  return names;
}

Generated Generate(std::mt19937& random) {
  Generated g;
  const auto lineEnd = [&] { return Uniform(random, 0, 1) ? std::string("\r\n") : "\n"; };
  for (int i = 1; i <= 4; ++i) g.input += "Header line " + std::to_string(i) + lineEnd();
  // Now and then a list long enough that a table is written in several pieces.
  const int count = Uniform(random, 0, 7) == 0 ? Uniform(random, 300, 900) : Uniform(random, 0, 60);
  std::vector<std::string> toPlanets = kFromPlanets;
  toPlanets.push_back("North-Node");  // a '-' in the to-planet stays part of it
  for (int i = 0; i < count; ++i) {
    if (Uniform(random, 0, 4) == 0) g.input += "a note without an orb" + lineEnd();
    const std::string& aspect = Pick(random, kAspectNames);
    const std::string& from = Pick(random, kFromPlanets);
    const std::string& to = Pick(random, toPlanets);
    const std::string sign = std::string(1, " +-"[Uniform(random, 0, 2)]);
    const int degrees = Uniform(random, 0, 12);
    const int minutes = Uniform(random, 0, 59);
    const int seconds = Uniform(random, 0, 59);
    std::string orb = std::to_string(degrees) + "\xB0";
    int value = degrees * 3600;
    switch (Uniform(random, 0, 2)) {
      case 0:  // degrees alone
        break;
      case 1:
        orb += (minutes < 10 ? "0" : "") + std::to_string(minutes) + "'";
        value += minutes * 60;
        break;
      default:
        orb += std::to_string(minutes) + "'" + std::to_string(seconds) + "\"";
        value += minutes * 60 + seconds;
    }
    g.input += aspect + " " + from + "-" + to + " " + (sign == " " ? "" : sign) + orb;
    if (i + 1 < count || Uniform(random, 0, 1)) g.input += lineEnd();
    g.rows.emplace_back(aspect, from, to, sign == " " ? "&nbsp;" : sign, orb);
    g.secondsOfOrbText[orb] = value;
  }
  g.typesInFile = Subset(random, kAspectNames);
  g.aspectTypesFile = "Aspect types\n";
  for (const std::string& name : g.typesInFile) g.aspectTypesFile += name + " \t; orb 8\n";
  g.planetsInFile = Subset(random, kFromPlanets);
  g.planetsFile = " planets, one per line\n";
  for (const std::string& name : g.planetsInFile) g.planetsFile += name + lineEnd();
  return g;
}

// The data rows of each of the three tables, as (group-or-first cell, other cells) texts.
struct Table {
  std::vector<std::vector<std::string>> rows;  // the four data cells of each row
};

std::vector<Table> ReadTables(const std::string& page) {
  const std::string kCellSpacer = "<td>&nbsp;&nbsp;</td>";
  std::vector<Table> tables;
  std::size_t at = 0;
  while ((at = page.find("<table align=left cellspacing=0>", at)) != std::string::npos) {
    const std::size_t end = page.find("</table>", at);
    Table table;
    for (std::size_t row = page.find("<tr><td>", at); row < end;
         row = page.find("<tr><td>", row + 1)) {
      const std::size_t rowEnd = page.find("</tr>\r\n", row);
      std::string rest = page.substr(row + 4, rowEnd - row - 4);  // without "<tr>" and "</tr>"
      std::vector<std::string> cells;
      for (std::size_t cut; (cut = rest.find(kCellSpacer)) != std::string::npos;) {
        std::string cell = rest.substr(0, cut);
        EXPECT_TRUE(cell.starts_with("<td>") && cell.ends_with("</td>")) << cell;
        cells.push_back(cell.substr(4, cell.size() - 9));
        rest.erase(0, cut + kCellSpacer.size());
      }
      EXPECT_EQ(rest, "");
      EXPECT_EQ(cells.size(), 4u);
      table.rows.push_back(cells);
    }
    tables.push_back(table);
    at = end;
  }
  return tables;
}

const std::string kFont = "<font face =\"Courier New\">";

// Splits an orb cell, "<font ...>" + sign + orb + "</font>", the orb in bold in table 1.
std::pair<std::string, std::string> SignAndOrb(std::string cell, bool bold) {
  EXPECT_TRUE(cell.starts_with(kFont) && cell.ends_with("</font>")) << cell;
  cell = cell.substr(kFont.size(), cell.size() - kFont.size() - 7);
  const std::size_t signLength = cell.starts_with("&nbsp;") ? 6 : 1;
  std::string orb = cell.substr(signLength);
  if (bold) {
    EXPECT_TRUE(orb.starts_with("<b>") && orb.ends_with("</b>")) << orb;
    orb = orb.substr(3, orb.size() - 7);
  }
  return {cell.substr(0, signLength), orb};
}

// The rows of a grouped table, with the group name filled in where the page leaves it out, and
// the group names in the order they appear.
struct GroupedRows {
  std::vector<Row> rows;  // as (group, second, third, sign, orb)
  std::vector<std::string> groupOrder;
};

GroupedRows ReadGroupedTable(const Table& table) {
  GroupedRows result;
  std::string group;
  for (const std::vector<std::string>& cells : table.rows) {
    if (!cells[0].empty()) {
      EXPECT_TRUE(cells[0].starts_with("<b>") && cells[0].ends_with("</b>"));
      group = cells[0].substr(3, cells[0].size() - 7);
      result.groupOrder.push_back(group);
    }
    const auto [sign, orb] = SignAndOrb(cells[3], false);
    result.rows.emplace_back(group, cells[1], cells[2], sign, orb);
  }
  return result;
}

std::vector<Row> Sorted(std::vector<Row> rows) {
  std::sort(rows.begin(), rows.end());
  return rows;
}

// The names of `fileOrder` that have rows, then the other row names in order of first
// occurrence in `rows`: the group order a grouped table must show.
std::vector<std::string> ExpectedGroupOrder(const std::vector<std::string>& fileOrder,
                                            const std::vector<std::string>& namesInRowOrder) {
  std::vector<std::string> order;
  for (const std::string& name : fileOrder) {
    if (std::find(namesInRowOrder.begin(), namesInRowOrder.end(), name) != namesInRowOrder.end())
      order.push_back(name);
  }
  for (const std::string& name : namesInRowOrder) {
    if (std::find(order.begin(), order.end(), name) == order.end()) order.push_back(name);
  }
  return order;
}

class RunDirectory {
 public:
  RunDirectory() : previous_(fs::current_path()) {
    std::random_device entropy;
    do {
      path_ = fs::temp_directory_path() / ("korvo-property-" + std::to_string(entropy()));
    } while (!fs::create_directory(path_));
    fs::current_path(path_);
  }
  ~RunDirectory() {
    fs::current_path(previous_);
    fs::remove_all(path_);
  }

 private:
  fs::path previous_;
  fs::path path_;
};

void Write(const fs::path& name, const std::string& bytes) {
  if (name.has_parent_path()) fs::create_directories(name.parent_path());
  std::ofstream(name, std::ios::binary) << bytes;
}

std::string Read(const fs::path& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void CheckOneRun(std::uint32_t seed, bool russian, bool natal) {
  SCOPED_TRACE("seed " + std::to_string(seed) + (russian ? " Russian" : " English") +
               (natal ? " natal" : " transit"));
  std::mt19937 random(seed);
  const Generated g = Generate(random);
  RunDirectory directory;
  Write("Wrk/Aspects.txt", g.input);
  Write("types.asp", g.aspectTypesFile);
  Write(russian ? "Language/Russian/Planets.txt" : "Language/English/Planets.txt", g.planetsFile);
  if (russian) Write("Config/RUSSIAN.ini", "");
  const char* arguments[] = {"korvo", natal ? "-1" : "-2", "-atypes.asp"};
  ASSERT_EQ(RunKorvo(3, arguments), 0);
  const std::vector<Table> tables = ReadTables(Read("Wrk/Aspects.html"));
  ASSERT_EQ(tables.size(), 3u);
  const auto seconds = [&](const Row& row) { return g.secondsOfOrbText.at(std::get<4>(row)); };

  // Table 1: exactly the entries, by ascending orb.
  std::vector<Row> table1;
  for (const std::vector<std::string>& cells : tables[0].rows) {
    const auto [sign, orb] = SignAndOrb(cells[0], true);
    table1.emplace_back(cells[1], cells[2], cells[3], sign, orb);
  }
  EXPECT_EQ(Sorted(table1), Sorted(g.rows));
  for (std::size_t i = 1; i < table1.size(); ++i) {
    EXPECT_LE(seconds(table1[i - 1]), seconds(table1[i])) << "table 1 row " << i;
  }

  // Table 2: exactly the entries, grouped by aspect type in file order, then the types the
  // file lacks in order of first occurrence in table 1; each group by ascending orb.
  const GroupedRows table2 = ReadGroupedTable(tables[1]);
  EXPECT_EQ(Sorted(table2.rows), Sorted(g.rows));
  std::vector<std::string> aspectsInOrbOrder;
  for (const Row& row : table1) aspectsInOrbOrder.push_back(std::get<0>(row));
  EXPECT_EQ(table2.groupOrder, ExpectedGroupOrder(g.typesInFile, aspectsInOrbOrder));
  for (std::size_t i = 1; i < table2.rows.size(); ++i) {
    if (std::get<0>(table2.rows[i - 1]) != std::get<0>(table2.rows[i])) continue;
    EXPECT_LE(seconds(table2.rows[i - 1]), seconds(table2.rows[i])) << "table 2 row " << i;
  }

  // Table 3: each entry under its from-planet, and in natal mode also under its to-planet.
  const GroupedRows table3 = ReadGroupedTable(tables[2]);
  std::vector<Row> expected3;
  for (const auto& [aspect, from, to, sign, orb] : g.rows) {
    expected3.emplace_back(from, aspect, to, sign, orb);
    if (natal) expected3.emplace_back(to, aspect, from, sign, orb);
  }
  std::vector<Row> actual3;
  for (const auto& [group, aspect, to, sign, orb] : table3.rows) {
    actual3.emplace_back(group, aspect, to, sign, orb);
  }
  EXPECT_EQ(Sorted(actual3), Sorted(expected3));
  for (std::size_t i = 1; i < table3.rows.size(); ++i) {
    if (std::get<0>(table3.rows[i - 1]) != std::get<0>(table3.rows[i])) continue;
    EXPECT_LE(seconds(table3.rows[i - 1]), seconds(table3.rows[i])) << "table 3 row " << i;
  }
  // Groups: the planets of the file that have entries, in file order (no entry is under a house
  // name), then the other from-planets in order of first occurrence in the list as table 2 left
  // it, with the mirrored copies appended in natal mode (the names are completed before the list
  // is put in orb order again).
  std::vector<Row> listForPlanets;  // as (from, to, aspect, sign, orb)
  for (const auto& [aspect, from, to, sign, orb] : table2.rows) {
    listForPlanets.emplace_back(from, to, aspect, sign, orb);
  }
  if (natal) {
    for (std::size_t i = 0, n = listForPlanets.size(); i < n; ++i) {
      Row mirrored = listForPlanets[i];
      std::swap(std::get<0>(mirrored), std::get<1>(mirrored));
      listForPlanets.push_back(mirrored);
    }
  }
  std::vector<std::string> fromPlanetsInOrder;
  for (const Row& row : listForPlanets) fromPlanetsInOrder.push_back(std::get<0>(row));
  EXPECT_EQ(table3.groupOrder, ExpectedGroupOrder(g.planetsInFile, fromPlanetsInOrder));
}

TEST(TableContents, EveryAspectInEveryTable) {
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    for (const bool russian : {false, true}) {
      for (const bool natal : {true, false}) CheckOneRun(seed, russian, natal);
    }
  }
}

}  // namespace
}  // namespace korvo
