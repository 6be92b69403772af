// A sketch frame (horizontal and vertical directions) whose normal is a given direction.
#pragma once

#include "host/values.h"

namespace kestrun {

// Unit vector of `v`: a squared length of exactly 1 is kept, a zero vector becomes
// (1, 0, 0), anything else is divided by its length.
host::Vec3 normalizedDirection(const host::Vec3& v);

struct SketchFrame {
  host::Vec3 h, v;
};

// False when the direction is degenerate (length 1e-9 or less).
bool frameFromDirection(const host::Vec3& direction, SketchFrame& out);

}  // namespace kestrun
