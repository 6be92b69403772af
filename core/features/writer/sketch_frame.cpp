#include "features/writer/sketch_frame.h"

#include <cmath>

namespace kestrun {

host::Vec3 normalizedDirection(const host::Vec3& v) {
  const double len2 = host::dot(v, v);
  if (len2 == 1.0) return v;
  if (len2 == 0.0) return {1, 0, 0};
  return v * (1.0 / std::sqrt(len2));
}

namespace {
bool unit(const host::Vec3& v, host::Vec3& out) {
  const double len = host::norm(v);
  if (!(len > 1e-9)) return false;
  out = v * (1.0 / len);
  return true;
}
}  // namespace

bool frameFromDirection(const host::Vec3& direction, SketchFrame& out) {
  host::Vec3 n;
  if (!unit(direction, n)) return false;
  const host::Vec3 reference = std::fabs(n.z) > 0.9 ? host::Vec3{0, 1, 0} : host::Vec3{0, 0, 1};
  if (!unit(host::cross(reference, n), out.h) && !unit(host::cross({1, 0, 0}, n), out.h)) {
    return false;
  }
  return unit(host::cross(n, out.h), out.v);
}

}  // namespace kestrun
