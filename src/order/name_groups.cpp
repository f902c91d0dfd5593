#include "order/name_groups.h"

#include <algorithm>
#include <cstdint>

namespace korvo {
namespace {

const NumberedTexts& TableOf(const AspectList& list, GroupingName field) {
  return field == GroupingName::aspect ? list.aspectNames : list.planetNames;
}

std::uint32_t NameNumberOf(const AspectList& list, EntryRef ref, GroupingName field) {
  return field == GroupingName::aspect ? EntryAt(list, ref).aspect : FromPlanetOf(list, ref);
}

// Each listed name's number in the list's table; kNoText for a name no entry has.
std::vector<std::uint32_t> ListedNumbers(const NumberedTexts& table, const NameList& names) {
  std::vector<std::uint32_t> numbers;
  numbers.reserve(names.size());
  for (const std::string& name : names) numbers.push_back(FindText(table, name));
  return numbers;
}

}  // namespace

std::span<const std::string> AppendMissingNames(const AspectList& list, const EntryOrder& order,
                                                NameList& names, GroupingName field) {
  const std::size_t listedCount = names.size();
  const NumberedTexts& table = TableOf(list, field);
  std::vector<bool> listed(TextCount(table), false);
  std::size_t unlistedCount = TextCount(table);
  for (const std::uint32_t number : ListedNumbers(table, names)) {
    if (number != kNoText && !listed[number]) {
      listed[number] = true;
      --unlistedCount;
    }
  }
  // Once every name of the table is listed, the rest of the order can add nothing: a list of
  // many charts names its few dozen planets within its first rows.
  for (std::size_t place = 0; place < order.size() && unlistedCount > 0; ++place) {
    const std::uint32_t number = NameNumberOf(list, order[place], field);
    if (listed[number]) continue;
    listed[number] = true;
    --unlistedCount;
    names.emplace_back(TextOf(table, number));
  }
  return std::span<const std::string>(names).subspan(listedCount);
}

void GroupByName(const AspectList& list, EntryOrder& order, const NameList& names,
                 GroupingName field) {
  // A counting sort by name number. Each group is placed where its name first stands in
  // `names`; a name listed again gets a copy of its group there.
  const NumberedTexts& table = TableOf(list, field);
  FilledArray<std::uint32_t> numberOfPlace(order.size());
  std::vector<std::size_t> groupSize(TextCount(table), 0);
  for (std::size_t place = 0; place < order.size(); ++place) {
    numberOfPlace[place] = NameNumberOf(list, order[place], field);
    ++groupSize[numberOfPlace[place]];
  }
  constexpr std::size_t kNotPlaced = SIZE_MAX;
  std::vector<std::size_t> nextOfGroup(groupSize.size(), kNotPlaced);
  const std::vector<std::uint32_t> listedNumbers = ListedNumbers(table, names);
  std::size_t groupedCount = 0;
  for (const std::uint32_t number : listedNumbers) {
    if (number == kNoText) continue;
    if (nextOfGroup[number] == kNotPlaced) nextOfGroup[number] = groupedCount;
    groupedCount += groupSize[number];
  }
  EntryOrder grouped(groupedCount);
  for (std::size_t place = 0; place < order.size(); ++place) {
    const std::size_t next = nextOfGroup[numberOfPlace[place]];
    if (next == kNotPlaced) continue;
    grouped[next] = order[place];
    ++nextOfGroup[numberOfPlace[place]];
  }
  // The copies for names listed more than once: the first listing's group is complete now.
  std::vector<bool> groupPlaced(groupSize.size(), false);
  std::size_t start = 0;
  for (const std::uint32_t number : listedNumbers) {
    if (number == kNoText) continue;
    if (groupPlaced[number]) {
      const std::size_t firstStart = nextOfGroup[number] - groupSize[number];
      std::copy_n(grouped.begin() + static_cast<std::ptrdiff_t>(firstStart), groupSize[number],
                  grouped.begin() + static_cast<std::ptrdiff_t>(start));
    }
    groupPlaced[number] = true;
    start += groupSize[number];
  }
  order.swap(grouped);
}

}  // namespace korvo
