#include "order/name_groups.h"

#include <unordered_map>
#include <unordered_set>

namespace korvo {

void AppendMissingNames(const AspectList& aspects, NameList& names, EntryName field) {
  // The names are hashed so that the cost grows with the entries plus the names, not with their
  // product. New names are gathered first: appending to `names` could move the texts the set
  // refers to.
  std::unordered_set<std::string_view> known(names.begin(), names.end());
  std::vector<std::string_view> missing;
  for (const AspectEntry& entry : aspects) {
    if (known.insert(entry.*field).second) missing.push_back(entry.*field);
  }
  names.insert(names.end(), missing.begin(), missing.end());
}

void GroupByName(AspectList& aspects, const NameList& names, EntryName field) {
  std::unordered_map<std::string_view, std::vector<std::size_t>> positionsByName;
  for (std::size_t position = 0; position < aspects.size(); ++position) {
    positionsByName[aspects[position].*field].push_back(position);
  }
  AspectList grouped;
  grouped.reserve(aspects.size());
  for (const std::string& name : names) {
    const auto group = positionsByName.find(name);
    if (group == positionsByName.end()) continue;
    for (const std::size_t position : group->second) grouped.push_back(aspects[position]);
  }
  aspects.swap(grouped);
}

}  // namespace korvo
