#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "aspectlist/aspect_entry.h"

namespace korvo {

// An ordered list of names. Two names are equal when they have the same bytes: case counts,
// nothing is trimmed.
using NameList = std::vector<std::string>;

// The field of an entry that a grouping looks at: its aspect name or its from-planet.
using EntryName = std::string_view AspectEntry::*;

// Appends, in list order, each name of the entries that `names` does not hold yet, once.
void AppendMissingNames(const AspectList& aspects, NameList& names, EntryName field);

// Rebuilds the list group by group in the order of `names`: each name collects, in list order,
// the entries whose field equals it. A name listed k times collects its entries k times; an
// entry whose name is not listed is left out.
void GroupByName(AspectList& aspects, const NameList& names, EntryName field);

}  // namespace korvo
