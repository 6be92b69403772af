// What a hole item that was cut as cylinders leaves for later items (a circular pattern
// repeats the cut from it instead of patterning a host feature).
#pragma once

#include "host/values.h"

namespace kestrun {

struct HoleGeometry {
  // True when the item's "locations" held exactly one entry.
  bool singleLocation = false;
  double diameter = 0;  // mm
  double depth = 0;     // mm; each cylinder runs from point - depth x direction over 2 x depth
  host::Point3 point;   // the first location that was resolved
  host::Vec3 direction{0, 0, 1};  // unit drilling direction
};

}  // namespace kestrun
