#pragma once

#include <span>
#include <string>

#include "aspectlist/aspect_entry.h"
#include "aspectlist/entry_order.h"
#include "aspectlist/name_list.h"

namespace korvo {

// The name of an entry that a grouping looks at: its aspect name or its from-planet (the
// to-planet of a mirrored entry).
enum class GroupingName { aspect, fromPlanet };

// Appends, in the order given, each name of the entries that `names` does not hold yet, once.
// Returns the names appended: the last ones of `names`.
std::span<const std::string> AppendMissingNames(const AspectList& list, const EntryOrder& order,
                                                NameList& names, GroupingName field);

// Rebuilds the order group by group in the order of `names`: each name collects, in the order
// given, the entries whose name equals it. A name listed k times collects its entries k times;
// an entry whose name is not listed is left out. Names are matched by number, not by bytes.
void GroupByName(const AspectList& list, EntryOrder& order, const NameList& names,
                 GroupingName field);

}  // namespace korvo
