#include "order/aspect_type_order.h"

#include "order/name_groups.h"

namespace korvo {

std::span<const std::string> AppendMissingTypes(const AspectList& list, const EntryOrder& order,
                                                NameList& aspectTypes) {
  return AppendMissingNames(list, order, aspectTypes, GroupingName::aspect);
}

void GroupByAspectType(const AspectList& list, EntryOrder& order, const NameList& aspectTypes) {
  GroupByName(list, order, aspectTypes, GroupingName::aspect);
}

}  // namespace korvo
