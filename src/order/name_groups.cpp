#include "order/name_groups.h"

#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "order/reorder.h"
#include "platform/prefetch.h"

namespace korvo {
namespace {

constexpr std::uint32_t kNotListed = UINT32_MAX;

void PrefetchNameAhead(const AspectList& aspects, std::size_t position, EntryName field) {
  if (position + kPrefetchDistance < aspects.size()) {
    PrefetchForReading((aspects[position + kPrefetchDistance].*field).data());
  }
}

// Numbers the distinct names 0, 1, 2, ... in order of first appearance, and says for each entry
// the number of its name, or kNotListed.
struct NameNumbers {
  std::vector<std::uint32_t> ofName;   // one per name of the list, repeats share a number
  std::vector<std::uint32_t> ofEntry;  // one per entry
  std::uint32_t distinctCount = 0;
};

NameNumbers NumberNames(const AspectList& aspects, const NameList& names, EntryName field) {
  NameNumbers numbers;
  std::unordered_map<std::string_view, std::uint32_t> numberOf;
  numbers.ofName.reserve(names.size());
  for (const std::string& name : names) {
    const auto [place, isNew] = numberOf.try_emplace(name, numbers.distinctCount);
    if (isNew) ++numbers.distinctCount;
    numbers.ofName.push_back(place->second);
  }
  numbers.ofEntry.reserve(aspects.size());
  for (std::size_t position = 0; position < aspects.size(); ++position) {
    PrefetchNameAhead(aspects, position, field);
    const auto place = numberOf.find(aspects[position].*field);
    numbers.ofEntry.push_back(place == numberOf.end() ? kNotListed : place->second);
  }
  return numbers;
}

}  // namespace

void AppendMissingNames(const AspectList& aspects, NameList& names, EntryName field) {
  // The names are hashed so that the cost grows with the entries plus the names, not with their
  // product. New names are gathered first: appending to `names` could move the texts the set
  // refers to.
  std::unordered_set<std::string_view> known(names.begin(), names.end());
  std::vector<std::string_view> missing;
  for (std::size_t position = 0; position < aspects.size(); ++position) {
    PrefetchNameAhead(aspects, position, field);
    const std::string_view name = aspects[position].*field;
    if (known.insert(name).second) missing.push_back(name);
  }
  names.insert(names.end(), missing.begin(), missing.end());
}

void GroupByName(AspectList& aspects, const NameList& names, EntryName field) {
  // A counting sort by name number: `groupStart` says where each distinct name's entries begin
  // in `byName`, which holds the entries' positions name by name, each group in list order.
  const NameNumbers numbers = NumberNames(aspects, names, field);
  std::vector<std::size_t> groupStart(numbers.distinctCount + 1, 0);
  for (const std::uint32_t number : numbers.ofEntry) {
    if (number != kNotListed) ++groupStart[number + 1];
  }
  for (std::size_t number = 1; number < groupStart.size(); ++number) {
    groupStart[number] += groupStart[number - 1];
  }
  std::vector<std::size_t> nextInGroup(groupStart.begin(), groupStart.end() - 1);
  std::vector<std::uint32_t> byName(groupStart.back());
  for (std::size_t position = 0; position < aspects.size(); ++position) {
    const std::uint32_t number = numbers.ofEntry[position];
    if (number != kNotListed) byName[nextInGroup[number]++] = static_cast<std::uint32_t>(position);
  }
  // Names are numbered in order of first appearance, so when no name repeats, `byName` is the
  // grouped order itself; when every entry is listed too, it is a reordering of the whole list.
  if (numbers.ofName.size() == numbers.distinctCount && byName.size() == aspects.size()) {
    ReorderInPlace(aspects, byName);
    return;
  }
  std::size_t groupedCount = 0;
  for (const std::uint32_t number : numbers.ofName) {
    groupedCount += groupStart[number + 1] - groupStart[number];
  }
  AspectList grouped;
  grouped.reserve(groupedCount);
  for (const std::uint32_t number : numbers.ofName) {
    for (std::size_t i = groupStart[number]; i < groupStart[number + 1]; ++i) {
      grouped.push_back(aspects[byName[i]]);
    }
  }
  aspects.swap(grouped);
}

}  // namespace korvo
