#pragma once

#include <span>
#include <string>

#include "aspectlist/name_list.h"
#include "order/aspect_type_order.h"
#include "order/grid_placement.h"
#include "order/orb_order.h"

namespace korvo::test {

// The grid of a list as a run builds it: on the orders of the page's first two tables, the second
// grouped by `aspectTypes`.
inline AspectGrid GridOnPageOrders(const AspectList& list, const NameList& aspectTypes,
                                   std::span<const std::string> planetsFileNames,
                                   LanguageFlag language, ChartMode chartMode) {
  EntryOrder orbOrder = ReadingOrder(list);
  SortByOrb(list, orbOrder);
  EntryOrder aspectTypeOrder = orbOrder;
  GroupByAspectType(list, aspectTypeOrder, aspectTypes);
  return MakeAspectGrid(list, orbOrder, aspectTypeOrder, planetsFileNames, language, chartMode);
}

}  // namespace korvo::test
