#include "model/stored_solid.h"

#include <stdexcept>

namespace occt_host {

TopoDS_Shape StoredSolid::build(const TopoDS_Shape& before) {
  (void)before;  // the stored solid already is the body's result
  if (shape_.IsNull()) throw std::runtime_error("the stored solid is empty");
  return shape_;
}

}  // namespace occt_host
