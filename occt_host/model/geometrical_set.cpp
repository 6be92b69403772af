#include "model/geometrical_set.h"

namespace occt_host {

host::Status GeometricalSet::insertIntoLinearBody(const host::SpecObjectPtr& feature) {
  auto node = std::dynamic_pointer_cast<TreeNode>(feature);
  if (!node || !ordered_) return host::kInvalidArg;
  return node->isWithin(this) ? host::kOk : host::kInvalidArg;
}

void* GeometricalSet::findInterface(host::InterfaceId id) {
  if (id == host::GeometricalSet::kInterfaceId) return static_cast<host::GeometricalSet*>(this);
  return TreeContainer::findInterface(id);
}

}  // namespace occt_host
