#pragma once

#include "aspectlist/aspect_entry.h"

namespace korvo {

// Puts the list in ascending order of orb seconds; entries with equal orbs keep their order, and
// the sign of an orb takes no part.
void SortByOrb(AspectList& aspects);

}  // namespace korvo
