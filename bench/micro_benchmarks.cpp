// Micro-benchmarks of the steps whose cost grows with the aspects list: parsing the lines,
// sorting by orb, the two groupings and writing the rows. The lists look like those of
// bench/generate_aspects.py: many charts, the usual planets and houses, orbs with and without
// seconds and signs.
#include <benchmark/benchmark.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "aspectlist/aspect_entry.h"
#include "aspectlist/entry_order.h"
#include "order/aspect_type_order.h"
#include "order/orb_order.h"
#include "order/planet_order.h"
#include "report/table_writer.h"

namespace korvo {
namespace {

const std::vector<std::string> kPlanets = {"Sun",     "Moon",    "Mercury",   "Venus",
                                           "Mars",    "Jupiter", "Saturn",    "Uranus",
                                           "Neptune", "Pluto",   "North Node"};
const std::vector<std::string> kUnlistedPlanets = {"Chiron", "Lilith"};
const std::vector<std::string> kAspectTypes = {
    "Conjunction", "Opposition",     "Trine",      "Square",      "Sextile",
    "Quincunx",    "Sesquiquadrate", "Semisquare", "Semisextile", "Quintile"};

// `count` aspect lines, the same for every run.
std::vector<std::string> MakeAspectLines(std::size_t count) {
  std::mt19937 random(7);
  const auto pick = [&](std::size_t size) {
    return std::uniform_int_distribution<std::size_t>(0, size - 1)(random);
  };
  std::vector<std::string> partners = kPlanets;
  partners.insert(partners.end(), kUnlistedPlanets.begin(), kUnlistedPlanets.end());
  for (const std::string_view house : HouseNames(LanguageFlag::english))
    partners.emplace_back(house);
  const std::size_t bodyCount = kPlanets.size() + kUnlistedPlanets.size();
  std::vector<std::string> lines;
  lines.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t from = pick(bodyCount);
    const std::size_t to = from + 1 + pick(partners.size() - from - 1);
    std::string line = kAspectTypes[pick(kAspectTypes.size())] + " " + partners[from] + "-" +
                       partners[to] + " " +
                       std::string(pick(3) == 0 ? ""
                                   : pick(2)    ? "+"
                                                : "-") +
                       std::to_string(pick(10)) + "\xB0" + std::to_string(10 + pick(50)) + "'";
    if (pick(2)) line += std::to_string(10 + pick(50)) + "\"";
    lines.push_back(std::move(line));
  }
  return lines;
}

// A list of `count` entries, read as the reader reads them: parsed and numbered.
AspectList MakeAspectList(std::size_t count) {
  AspectList list;
  for (const std::string& line : MakeAspectLines(count)) AddEntry(list, *ParseAspectLine(line));
  return list;
}

NameList AspectTypeNames(const AspectList& list, const EntryOrder& order) {
  NameList types(kAspectTypes.begin(), kAspectTypes.end());
  AppendMissingTypes(list, order, types);
  return types;
}

NameList PlanetNames(const AspectList& list, const EntryOrder& order) {
  NameList planets(kPlanets.begin(), kPlanets.end());
  CompletePlanets(list, order, planets, LanguageFlag::english);
  return planets;
}

// The order of the orb table.
EntryOrder OrbOrder(const AspectList& list) {
  EntryOrder order = ReadingOrder(list);
  SortByOrb(list, order);
  return order;
}

// The order of the aspect-type table.
EntryOrder AspectTypeOrder(const AspectList& list) {
  EntryOrder order = OrbOrder(list);
  GroupByAspectType(list, order, AspectTypeNames(list, order));
  return order;
}

// The natal planet table's order before its own sort: the aspect-type order, then mirrored.
EntryOrder MirroredOrder(const AspectList& list) {
  EntryOrder order = AspectTypeOrder(list);
  MirrorAspects(order);
  return order;
}

void SetItems(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ParseAspectLine(benchmark::State& state) {
  const std::vector<std::string> lines = MakeAspectLines(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    for (const std::string& line : lines) benchmark::DoNotOptimize(ParseAspectLine(line));
  }
  SetItems(state);
}

// Parsing and numbering the names and orb of each line, as reading the list does.
void BM_AddEntry(benchmark::State& state) {
  const std::vector<std::string> lines = MakeAspectLines(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    AspectList list;
    list.entries.reserve(lines.size());
    for (const std::string& line : lines) AddEntry(list, *ParseAspectLine(line));
    benchmark::DoNotOptimize(list.entries.data());
  }
  SetItems(state);
}

// The first sort of a run: the entries in reading order.
void BM_SortByOrb(benchmark::State& state) {
  const AspectList list = MakeAspectList(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    EntryOrder order = ReadingOrder(list);
    SortByOrb(list, order);
    benchmark::DoNotOptimize(order.data());
  }
  SetItems(state);
}

// The aspect-type phase: types from the file and the missing ones, the entries in orb order.
void BM_GroupByAspectType(benchmark::State& state) {
  const AspectList list = MakeAspectList(static_cast<std::size_t>(state.range(0)));
  const EntryOrder input = OrbOrder(list);
  for (auto _ : state) {
    EntryOrder order = input;
    NameList types = AspectTypeNames(list, order);
    GroupByAspectType(list, order, types);
    benchmark::DoNotOptimize(order.data());
  }
  SetItems(state);
}

// The natal planet phase: mirroring, the missing planets, the second orb sort and the grouping
// by the planets and houses.
void BM_PlanetOrder(benchmark::State& state) {
  const AspectList list = MakeAspectList(static_cast<std::size_t>(state.range(0)));
  const EntryOrder input = AspectTypeOrder(list);
  for (auto _ : state) {
    EntryOrder order = input;
    MirrorAspects(order);
    const NameList planets = PlanetNames(list, order);
    SortByOrb(list, order);
    GroupByPlanet(list, order, planets);
    benchmark::DoNotOptimize(order.data());
  }
  SetItems(state);
}

// The grouping alone, on the mirrored order sorted by orb.
void BM_GroupByPlanet(benchmark::State& state) {
  const AspectList list = MakeAspectList(static_cast<std::size_t>(state.range(0)));
  EntryOrder input = MirroredOrder(list);
  const NameList planets = PlanetNames(list, input);
  SortByOrb(list, input);
  for (auto _ : state) {
    EntryOrder order = input;
    GroupByPlanet(list, order, planets);
    benchmark::DoNotOptimize(order.data());
  }
  SetItems(state);
}

// Rows of one table in each layout, in the order that table shows. The page stream has no
// buffer, so every write to it is dropped at once and only the building of the rows counts.
void BM_WriteAspectRows(benchmark::State& state) {
  const AspectList list = MakeAspectList(static_cast<std::size_t>(state.range(0)));
  const auto layout = static_cast<TableLayout>(state.range(1));
  EntryOrder order = OrbOrder(list);
  if (layout == TableLayout::aspectTypeTable) order = AspectTypeOrder(list);
  if (layout == TableLayout::planetTable) {
    order = MirroredOrder(list);
    const NameList planets = PlanetNames(list, order);
    SortByOrb(list, order);
    GroupByPlanet(list, order, planets);
  }
  std::ostream page(nullptr);
  const PageTexts pageTexts = EscapeForPage(list);
  for (auto _ : state) WriteAspectRows(page, list, pageTexts, order, layout);
  SetItems(state);
}

BENCHMARK(BM_ParseAspectLine)->Arg(1000);
BENCHMARK(BM_AddEntry)->Arg(1000)->Arg(100000);
BENCHMARK(BM_SortByOrb)->Arg(1000)->Arg(100000);
BENCHMARK(BM_GroupByAspectType)->Arg(1000)->Arg(100000);
BENCHMARK(BM_PlanetOrder)->Arg(1000)->Arg(100000);
BENCHMARK(BM_GroupByPlanet)->Arg(1000)->Arg(100000);
BENCHMARK(BM_WriteAspectRows)->ArgsProduct({{1000, 100000}, {1, 2, 3}});

}  // namespace
}  // namespace korvo

BENCHMARK_MAIN();
