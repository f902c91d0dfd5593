#pragma once

#include <span>
#include <string>

#include "aspectlist/aspect_entry.h"
#include "aspectlist/entry_order.h"
#include "aspectlist/grid_layout.h"
#include "base/settings.h"

namespace korvo {

// The aspect grid of the list, built on the orders the page's first two tables were written in:
// `orbOrder` holds every entry once by orb, `aspectTypeOrder` the same grouped by aspect type (an
// entry whose type is listed twice stands there twice). Each axis lists its names once: every
// name of the planets file in file order; then the houses that occur on the axis, in house order;
// then the other names that occur on it, in order of first appearance in the orb order (the
// from-planet before the to-planet). Natal charts make a triangle: a pair stands in the row of
// the later of its two points and the column of the earlier one, a pair of one name twice on the
// diagonal. Transits put a pair in the row of its to-planet and the column of its from-planet.
// Within a cell the aspects follow the aspect-type order, each only at its first place.
AspectGrid MakeAspectGrid(const AspectList& list, const EntryOrder& orbOrder,
                          const EntryOrder& aspectTypeOrder,
                          std::span<const std::string> planetsFileNames, LanguageFlag language,
                          ChartMode chartMode);

}  // namespace korvo
