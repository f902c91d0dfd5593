#pragma once

#include "aspectlist/aspect_entry.h"
#include "aspectlist/entry_order.h"

namespace korvo {

// Puts the order in ascending order of orb seconds; entries with equal orbs keep their order, and
// the sign of an orb takes no part.
void SortByOrb(const AspectList& list, EntryOrder& order);

}  // namespace korvo
