#include "order/grid_placement.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "aspectlist/entry_order.h"
#include "order/planet_order.h"

namespace korvo {
namespace {

constexpr std::uint32_t kNotPlaced = std::numeric_limits<std::uint32_t>::max();

// Which planets of an aspect an axis shows.
enum class AxisSide { bothPlanets, fromPlanets, toPlanets };

// The points of one axis, and the point of each planet number of the list on it.
struct Axis {
  std::vector<GridPoint> points;
  std::vector<std::uint32_t> pointOfPlanet;
};

bool IsHouseName(std::string_view name, LanguageFlag language) {
  const auto& houses = HouseNames(language);
  return std::find(houses.begin(), houses.end(), name) != houses.end();
}

// Calls `use` with each planet number of the entry that stands on an axis of this side, the
// from-planet first.
template <typename Use>
void ForEachPlanetOnSide(const AspectEntry& entry, AxisSide side, Use use) {
  if (side != AxisSide::toPlanets) use(entry.fromPlanet);
  if (side != AxisSide::fromPlanets) use(entry.toPlanet);
}

// Adds a point for a planet number of the list, unless it stands on the axis already.
void PlacePlanet(Axis& axis, const AspectList& list, std::uint32_t number, bool isHouse) {
  if (axis.pointOfPlanet[number] != kNotPlaced) return;
  axis.pointOfPlanet[number] = static_cast<std::uint32_t>(axis.points.size());
  axis.points.push_back({std::string(TextOf(list.planetNames, number)), isHouse});
}

// The names of the planets file, each once, whether or not an aspect names them, so that the
// grid has the same shape from chart to chart.
void PlaceFileNames(Axis& axis, const AspectList& list,
                    std::span<const std::string> planetsFileNames, LanguageFlag language) {
  std::unordered_set<std::string_view> placed;
  for (const std::string& name : planetsFileNames) {
    if (!placed.insert(name).second) continue;
    const bool isHouse = IsHouseName(name, language);
    const std::uint32_t number = FindText(list.planetNames, name);
    if (number == kNoText) {
      axis.points.push_back({name, isHouse});
    } else {
      PlacePlanet(axis, list, number, isHouse);
    }
  }
}

Axis MakeAxis(const AspectList& list, const EntryOrder& orbOrder,
              std::span<const std::string> planetsFileNames, LanguageFlag language, AxisSide side) {
  Axis axis;
  axis.pointOfPlanet.assign(TextCount(list.planetNames), kNotPlaced);
  PlaceFileNames(axis, list, planetsFileNames, language);
  std::vector<bool> onSide(TextCount(list.planetNames), false);
  for (const AspectEntry& entry : list.entries) {
    ForEachPlanetOnSide(entry, side, [&](std::uint32_t number) { onSide[number] = true; });
  }
  for (const std::string_view house : HouseNames(language)) {
    const std::uint32_t number = FindText(list.planetNames, house);
    if (number != kNoText && onSide[number]) PlacePlanet(axis, list, number, true);
  }
  // Every house that occurs stands on the axis now: the names left are no houses.
  for (const EntryRef ref : orbOrder) {
    ForEachPlanetOnSide(EntryAt(list, ref), side,
                        [&](std::uint32_t number) { PlacePlanet(axis, list, number, false); });
  }
  return axis;
}

// Each entry once, at its first place in the aspect-type order.
EntryOrder FirstPlaces(const AspectList& list, const EntryOrder& aspectTypeOrder) {
  std::vector<bool> seen(list.entries.size(), false);
  EntryOrder firstPlaces;
  firstPlaces.reserve(list.entries.size());
  for (const EntryRef ref : aspectTypeOrder) {
    if (seen[ref]) continue;
    seen[ref] = true;
    firstPlaces.push_back(ref);
  }
  return firstPlaces;
}

// The aspect names the cells show, in their order, and the aspects of each.
void CountAspectTypes(const AspectList& list, const EntryOrder& cellOrder, AspectGrid& grid) {
  std::vector<std::uint32_t> placeOfName(TextCount(list.aspectNames), kNotPlaced);
  for (const EntryRef ref : cellOrder) {
    const std::uint32_t aspect = EntryAt(list, ref).aspect;
    if (placeOfName[aspect] == kNotPlaced) {
      placeOfName[aspect] = static_cast<std::uint32_t>(grid.aspectTypes.size());
      grid.aspectTypes.push_back(aspect);
      grid.aspectTypeCounts.push_back(0);
    }
    ++grid.aspectTypeCounts[placeOfName[aspect]];
  }
}

std::vector<std::uint32_t> RowTotals(const AspectGrid& grid) {
  std::vector<std::uint32_t> totals(grid.rows.size(), 0);
  for (const GridPlacement& placement : grid.placements) {
    ++totals[placement.row];
    if (grid.triangle && placement.column != placement.row) ++totals[placement.column];
  }
  return totals;
}

GridPlacement NatalPlacement(const Axis& axis, const AspectEntry& entry, EntryRef ref) {
  const std::uint32_t from = axis.pointOfPlanet[entry.fromPlanet];
  const std::uint32_t to = axis.pointOfPlanet[entry.toPlanet];
  return {std::max(from, to), std::min(from, to), ref};
}

}  // namespace

AspectGrid MakeAspectGrid(const AspectList& list, const EntryOrder& orbOrder,
                          const EntryOrder& aspectTypeOrder,
                          std::span<const std::string> planetsFileNames, LanguageFlag language,
                          ChartMode chartMode) {
  const EntryOrder cellOrder = FirstPlaces(list, aspectTypeOrder);

  AspectGrid grid;
  grid.triangle = chartMode == ChartMode::natal;
  CountAspectTypes(list, cellOrder, grid);
  grid.placements.reserve(cellOrder.size());
  if (grid.triangle) {
    Axis axis = MakeAxis(list, orbOrder, planetsFileNames, language, AxisSide::bothPlanets);
    for (const EntryRef ref : cellOrder) {
      grid.placements.push_back(NatalPlacement(axis, EntryAt(list, ref), ref));
    }
    grid.rows = axis.points;
    grid.columns = std::move(axis.points);
  } else {
    Axis rows = MakeAxis(list, orbOrder, planetsFileNames, language, AxisSide::toPlanets);
    Axis columns = MakeAxis(list, orbOrder, planetsFileNames, language, AxisSide::fromPlanets);
    for (const EntryRef ref : cellOrder) {
      const AspectEntry& entry = EntryAt(list, ref);
      grid.placements.push_back(
          {rows.pointOfPlanet[entry.toPlanet], columns.pointOfPlanet[entry.fromPlanet], ref});
    }
    grid.rows = std::move(rows.points);
    grid.columns = std::move(columns.points);
  }
  std::stable_sort(grid.placements.begin(), grid.placements.end(),
                   [](const GridPlacement& first, const GridPlacement& second) {
                     return first.row != second.row ? first.row < second.row
                                                    : first.column < second.column;
                   });
  grid.rowTotals = RowTotals(grid);
  return grid;
}

}  // namespace korvo
