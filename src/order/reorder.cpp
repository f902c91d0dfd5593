#include "order/reorder.h"

namespace korvo {

void ReorderInPlace(AspectList& aspects, std::vector<std::uint32_t>& sourceOf) {
  for (std::size_t start = 0; start < sourceOf.size(); ++start) {
    if (sourceOf[start] == start) continue;
    const AspectEntry held = aspects[start];
    std::size_t to = start;
    for (std::size_t from = sourceOf[to]; from != start; from = sourceOf[to]) {
      aspects[to] = aspects[from];
      sourceOf[to] = static_cast<std::uint32_t>(to);  // marks the place as done
      to = from;
    }
    aspects[to] = held;
    sourceOf[to] = static_cast<std::uint32_t>(to);
  }
}

}  // namespace korvo
