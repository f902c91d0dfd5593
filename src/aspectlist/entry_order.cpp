#include "aspectlist/entry_order.h"

namespace korvo {

EntryOrder ReadingOrder(const AspectList& list) {
  EntryOrder order(list.entries.size());
  for (std::size_t number = 0; number < order.size(); ++number) {
    order[number] = static_cast<EntryRef>(number);
  }
  return order;
}

}  // namespace korvo
