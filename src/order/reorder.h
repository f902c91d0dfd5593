#pragma once

#include <cstdint>
#include <vector>

#include "aspectlist/aspect_entry.h"

namespace korvo {

// Puts the entries in a new order in place: afterwards position i holds the entry that stood at
// position sourceOf[i]. `sourceOf` must name every position once; it is used up (each entry is
// moved once along the cycles of the permutation, with one entry held aside, so no second list
// is built). Positions are 32-bit: a list of 2^32 entries would take hundreds of gigabytes.
void ReorderInPlace(AspectList& aspects, std::vector<std::uint32_t>& sourceOf);

}  // namespace korvo
