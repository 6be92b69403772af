// Planes of sketches: reading a sketch's 4 x 4 matrix, comparing planes, reading the
// plane of a plane feature, and the normal through three points.
#pragma once

#include <rapidjson/document.h>

#include "host/spec_object.h"
#include "host/values.h"

namespace kestrun {

// The XY plane through (0, 0, 0).
host::Plane defaultPlane();

// A plane through `origin` square to `normal`, with unit in-plane directions chosen so
// that the XY, YZ and ZX planes keep their usual axes: the first direction is the unit
// axis that follows the normal's largest component (x after z, y after x, z after y),
// made square to the normal, and the second is normal x first. False for a zero normal.
bool planeFromNormal(const host::Point3& origin, const host::Vec3& normal, host::Plane& out);

// The plane of a sketch "matrix" (16 numbers, column-major; `value` may be null when the
// item has none). Anything else logs "parseMatrix: invalid matrix array" and gives the
// default plane.
host::Plane parseMatrix(const rapidjson::Value* value);

// Same origin within 1e-6 mm, and first directions, second directions and normals each
// pointing the same way.
bool IsSamePlane(const host::Plane& a, const host::Plane& b);

// The plane of a reference plane or plane feature, rebuilt from its origin and normal.
bool GetMathPlaneFromSpec(const host::SpecObjectPtr& feature, host::Plane& out);

// The unit normal (p2 - p1) x (p3 - p1); false when the points are (nearly) collinear.
bool ComputePlaneNormal(const host::Point3& p1, const host::Point3& p2, const host::Point3& p3,
                        host::Vec3& out);

}  // namespace kestrun
