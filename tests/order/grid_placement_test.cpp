#include "order/grid_placement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/entry_builder.h"
#include "support/grid_on_page_orders.h"
#include "support/test_support.h"

namespace korvo {
namespace {

// Each point of an axis as its name, a house marked with "*".
std::vector<std::string> Names(const std::vector<GridPoint>& points) {
  std::vector<std::string> names;
  for (const GridPoint& point : points) names.push_back(point.name + (point.isHouse ? "*" : ""));
  return names;
}

// Each placement as "row|column: aspect from-to", in the grid's order.
std::vector<std::string> Cells(const AspectList& list, const AspectGrid& grid) {
  std::vector<std::string> cells;
  for (const GridPlacement& placement : grid.placements) {
    cells.push_back(grid.rows[placement.row].name + "|" + grid.columns[placement.column].name +
                    ": " + test::Describe(list, {placement.entry}).front());
  }
  return cells;
}

TEST(MakeAspectGrid, AxesListFileNamesThenHousesThenOthersByOrb) {
  using Names_ = std::vector<std::string>;
  test::ListBuilder b;
  b.Add("Trine", "Pluto", "X House", 300);
  b.Add("Square", "Moon", "ASC", 100);
  b.Add("Trine", "I House", "Vertex", 200);
  b.Add("Sextile", "Sun", "Chiron", 400);
  const NameList types = {"Trine", "Square", "Sextile"};
  // A name twice, a name no aspect has, and a house among the file's names.
  const NameList planets = {"Sun", "Moon", "Sun", "Lilith", "X House"};
  const AspectGrid natal =
      test::GridOnPageOrders(b.list, types, planets, LanguageFlag::english, ChartMode::natal);
  EXPECT_TRUE(natal.triangle);
  const Names_ natalAxis = {"Sun", "Moon",   "Lilith", "X House*", "I House*",
                            "ASC", "Vertex", "Pluto",  "Chiron"};
  EXPECT_EQ(Names(natal.rows), natalAxis);
  EXPECT_EQ(Names(natal.columns), natalAxis);

  // Transit rows show to-planets, columns from-planets; each lists only its own side's others.
  const AspectGrid transit =
      test::GridOnPageOrders(b.list, types, planets, LanguageFlag::english, ChartMode::transit);
  EXPECT_FALSE(transit.triangle);
  EXPECT_EQ(Names(transit.rows),
            (Names_{"Sun", "Moon", "Lilith", "X House*", "ASC", "Vertex", "Chiron"}));
  EXPECT_EQ(Names(transit.columns),
            (Names_{"Sun", "Moon", "Lilith", "X House*", "I House*", "Pluto"}));

  // Only the houses of the run's language are houses.
  const AspectGrid russian =
      test::GridOnPageOrders(b.list, types, {}, LanguageFlag::russian, ChartMode::natal);
  EXPECT_EQ(Names(russian.rows),
            (Names_{"Moon", "ASC", "I House", "Vertex", "Pluto", "X House", "Sun", "Chiron"}));
  test::ListBuilder r;
  r.Add("Trine", test::Cp1251("X дом"), test::Cp1251("I дом"), 1);
  EXPECT_EQ(
      Names(
          test::GridOnPageOrders(r.list, types, {}, LanguageFlag::russian, ChartMode::natal).rows),
      (Names_{test::Cp1251("I дом*"), test::Cp1251("X дом*")}));
}

TEST(MakeAspectGrid, EachPairStandsInTheCellItsModeGives) {
  struct Row {
    const char* from;
    const char* to;
    ChartMode mode;
    const char* cell;  // row|column
  };
  const Row rows[] = {
      // Natal: the later point's row, the earlier point's column, whichever way round.
      {"Sun", "Moon", ChartMode::natal, "Moon|Sun"},
      {"Moon", "Sun", ChartMode::natal, "Moon|Sun"},
      {"Mars", "Sun", ChartMode::natal, "Mars|Sun"},
      {"Mars", "Mars", ChartMode::natal, "Mars|Mars"},  // one name twice: the diagonal
      {"Eris", "Moon", ChartMode::natal, "Eris|Moon"},
      // Transit: the to-planet's row, the from-planet's column.
      {"Sun", "Moon", ChartMode::transit, "Moon|Sun"},
      {"Moon", "Sun", ChartMode::transit, "Sun|Moon"},
      {"Mars", "Mars", ChartMode::transit, "Mars|Mars"},
  };
  for (const Row& row : rows) {
    test::ListBuilder b;
    b.Add("Trine", row.from, row.to);
    const AspectGrid grid = test::GridOnPageOrders(
        b.list, {"Trine"}, NameList{"Sun", "Moon", "Mars"}, LanguageFlag::english, row.mode);
    EXPECT_EQ(Cells(b.list, grid), std::vector<std::string>{std::string(row.cell) + ": Trine " +
                                                            row.from + "-" + row.to})
        << row.from << "-" << row.to;
  }
}

TEST(MakeAspectGrid, CellsHoldEachAspectOnceInTheAspectTypeOrderAndAreCounted) {
  test::ListBuilder b;
  b.Add("Trine", "Sun", "Moon", 300);
  b.Add("Square", "Moon", "Sun", 200);
  b.Add("Trine", "Moon", "Sun", 100);
  b.Add("Conj", "Mars", "Sun", 50);
  b.Add("Conj", "Mars", "Moon", 500);
  b.Add("Conj", "Mars", "Mars", 600);
  // Square is listed twice, so the aspect-type order holds its aspect twice.
  const NameList types = {"Square", "Trine", "Square", "Conj"};
  const NameList planets = {"Sun", "Moon", "Mars"};
  const AspectGrid grid =
      test::GridOnPageOrders(b.list, types, planets, LanguageFlag::english, ChartMode::natal);
  EXPECT_EQ(Cells(b.list, grid),
            (std::vector<std::string>{"Moon|Sun: Square Moon-Sun", "Moon|Sun: Trine Moon-Sun",
                                      "Moon|Sun: Trine Sun-Moon", "Mars|Sun: Conj Mars-Sun",
                                      "Mars|Moon: Conj Mars-Moon", "Mars|Mars: Conj Mars-Mars"}));
  std::vector<std::string> shown;
  for (const std::uint32_t aspect : grid.aspectTypes) {
    shown.emplace_back(TextOf(b.list.aspectNames, aspect));
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"Square", "Trine", "Conj"}));
  EXPECT_EQ(grid.aspectTypeCounts, (std::vector<std::uint32_t>{1, 2, 3}));
  // A natal total counts the point's row and column, an aspect with itself once.
  EXPECT_EQ(grid.rowTotals, (std::vector<std::uint32_t>{4, 4, 3}));
  // A transit total counts its row: the aspects to its point.
  EXPECT_EQ(
      test::GridOnPageOrders(b.list, types, planets, LanguageFlag::english, ChartMode::transit)
          .rowTotals,
      (std::vector<std::uint32_t>{3, 2, 1}));

  const AspectGrid empty = test::GridOnPageOrders(test::ListBuilder().list, {}, NameList{"Sun"},
                                                  LanguageFlag::english, ChartMode::transit);
  EXPECT_EQ(Names(empty.rows), std::vector<std::string>{"Sun"});
  EXPECT_TRUE(empty.placements.empty());
  EXPECT_TRUE(empty.aspectTypes.empty());
}

}  // namespace
}  // namespace korvo
