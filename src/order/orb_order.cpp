#include "order/orb_order.h"

#include <algorithm>

namespace korvo {

void SortByOrb(AspectList& aspects) {
  std::stable_sort(aspects.begin(), aspects.end(),
                   [](const AspectEntry& first, const AspectEntry& second) {
                     return first.orbSeconds < second.orbSeconds;
                   });
}

}  // namespace korvo
