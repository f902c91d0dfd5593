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

// A list of `count` entries in input order; their texts live in `store`.
AspectList MakeAspectList(std::size_t count, TextStore& store) {
  AspectList aspects;
  for (const std::string& line : MakeAspectLines(count)) {
    aspects.push_back(*ParseAspectLine(line, store));
  }
  return aspects;
}

NameList AspectTypeNames(const AspectList& aspects) {
  NameList types(kAspectTypes.begin(), kAspectTypes.end());
  AppendMissingTypes(aspects, types);
  return types;
}

NameList PlanetNames(const AspectList& aspects) {
  NameList planets(kPlanets.begin(), kPlanets.end());
  CompletePlanets(aspects, planets, LanguageFlag::english);
  return planets;
}

void SetItems(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ParseAspectLine(benchmark::State& state) {
  const std::vector<std::string> lines = MakeAspectLines(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    TextStore store;
    for (const std::string& line : lines) benchmark::DoNotOptimize(ParseAspectLine(line, store));
  }
  SetItems(state);
}

// The first sort of a run: the list in input order.
void BM_SortByOrb(benchmark::State& state) {
  TextStore store;
  const AspectList input = MakeAspectList(static_cast<std::size_t>(state.range(0)), store);
  for (auto _ : state) {
    state.PauseTiming();
    AspectList aspects = input;
    state.ResumeTiming();
    SortByOrb(aspects);
    benchmark::DoNotOptimize(aspects.data());
  }
  SetItems(state);
}

// The aspect-type phase: types from the file and the missing ones, the list in orb order.
void BM_GroupByAspectType(benchmark::State& state) {
  TextStore store;
  AspectList input = MakeAspectList(static_cast<std::size_t>(state.range(0)), store);
  SortByOrb(input);
  const NameList types = AspectTypeNames(input);
  for (auto _ : state) {
    state.PauseTiming();
    AspectList aspects = input;
    state.ResumeTiming();
    GroupByAspectType(aspects, types);
    benchmark::DoNotOptimize(aspects.data());
  }
  SetItems(state);
}

// The natal planet phase: the mirrored list in orb order, grouped by the planets and houses.
void BM_GroupByPlanet(benchmark::State& state) {
  TextStore store;
  AspectList input = MakeAspectList(static_cast<std::size_t>(state.range(0)), store);
  MirrorAspects(input);
  const NameList planets = PlanetNames(input);
  SortByOrb(input);
  for (auto _ : state) {
    state.PauseTiming();
    AspectList aspects = input;
    state.ResumeTiming();
    GroupByPlanet(aspects, planets);
    benchmark::DoNotOptimize(aspects.data());
  }
  SetItems(state);
}

// Rows of one table in each layout. The page stream has no buffer, so every write to it is
// dropped at once and only the building of the rows counts.
void BM_WriteAspectRows(benchmark::State& state) {
  TextStore store;
  AspectList aspects = MakeAspectList(static_cast<std::size_t>(state.range(0)), store);
  const auto layout = static_cast<TableLayout>(state.range(1));
  if (layout == TableLayout::aspectTypeTable) GroupByAspectType(aspects, AspectTypeNames(aspects));
  if (layout == TableLayout::planetTable) GroupByPlanet(aspects, PlanetNames(aspects));
  std::ostream page(nullptr);
  for (auto _ : state) WriteAspectRows(page, aspects, layout);
  SetItems(state);
}

BENCHMARK(BM_ParseAspectLine)->Arg(1000);
BENCHMARK(BM_SortByOrb)->Arg(1000)->Arg(100000);
BENCHMARK(BM_GroupByAspectType)->Arg(1000)->Arg(100000);
BENCHMARK(BM_GroupByPlanet)->Arg(1000)->Arg(100000);
BENCHMARK(BM_WriteAspectRows)->ArgsProduct({{1000, 100000}, {1, 2, 3}});

}  // namespace
}  // namespace korvo

BENCHMARK_MAIN();
