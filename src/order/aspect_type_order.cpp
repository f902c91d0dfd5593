#include "order/aspect_type_order.h"

#include "order/name_groups.h"

namespace korvo {

void AppendMissingTypes(const AspectList& list, const EntryOrder& order, NameList& aspectTypes) {
  AppendMissingNames(list, order, aspectTypes, GroupingName::aspect);
}

void GroupByAspectType(const AspectList& list, EntryOrder& order, const NameList& aspectTypes) {
  GroupByName(list, order, aspectTypes, GroupingName::aspect);
}

}  // namespace korvo
