#pragma once

#include <span>
#include <string>

#include "aspectlist/aspect_entry.h"
#include "aspectlist/entry_order.h"
#include "aspectlist/name_list.h"

namespace korvo {

// Appends the aspect names of the entries that are not yet types, in the order given, each once.
// Returns the names appended: the last ones of `aspectTypes`.
std::span<const std::string> AppendMissingTypes(const AspectList& list, const EntryOrder& order,
                                                NameList& aspectTypes);

// Groups the order by aspect name in the order of the types.
void GroupByAspectType(const AspectList& list, EntryOrder& order, const NameList& aspectTypes);

}  // namespace korvo
