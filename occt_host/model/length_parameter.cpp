#include "model/length_parameter.h"

#include <cmath>

namespace occt_host {

host::Status LengthParameter::setMetres(double value) {
  if (!std::isfinite(value)) return host::kInvalidArg;
  metres_ = value;
  touch();
  return host::kOk;
}

void* LengthParameter::findInterface(host::InterfaceId id) {
  if (id == host::LengthParameter::kInterfaceId) return static_cast<host::LengthParameter*>(this);
  return TreeNode::findInterface(id);
}

}  // namespace occt_host
