#pragma once

#include <span>
#include <string>

#include "aspectlist/aspect_entry.h"
#include "aspectlist/aspect_grid.h"
#include "aspectlist/name_list.h"
#include "base/settings.h"

namespace korvo {

// The aspect grid of the list. Each axis lists its names once: every name of the planets file in
// file order; then the houses that occur on the axis, in house order; then the other names that
// occur on it, in order of first appearance in the orb order (the from-planet before the
// to-planet). Natal charts make a triangle: a pair stands in the row of the later of its two
// points and the column of the earlier one, a pair of one name twice on the diagonal. Transits
// put a pair in the row of its to-planet and the column of its from-planet. Within a cell the
// aspects follow the aspect-type order (grouped by `aspectTypes`, which names every aspect name of
// the list), an aspect whose type is listed twice only at its first place.
AspectGrid MakeAspectGrid(const AspectList& list, const NameList& aspectTypes,
                          std::span<const std::string> planetsFileNames, LanguageFlag language,
                          ChartMode chartMode);

}  // namespace korvo
