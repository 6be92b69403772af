#include "sketch/plane_math.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "host/wireframe.h"
#include "log/core_log.h"

namespace kestrun {

namespace {

constexpr double kParallel = 1e-9;
constexpr double kSamePlane = 1e-6;
constexpr double kCollinear = 1e-12;
constexpr int kMatrixSize = 16;

bool finite(const host::Vec3& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

double component(const host::Vec3& v, int i) {
  return i == 0 ? v.x : (i == 1 ? v.y : v.z);
}

host::Vec3 unitAxis(int i) {
  return {i == 0 ? 1.0 : 0.0, i == 1 ? 1.0 : 0.0, i == 2 ? 1.0 : 0.0};
}

// Divides by the largest component first, so that huge vectors do not overflow.
bool unit(const host::Vec3& v, host::Vec3& out) {
  if (!finite(v)) return false;
  double scale = std::max({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
  if (!(scale > 0)) return false;
  host::Vec3 w = v * (1.0 / scale);
  out = w * (1.0 / host::norm(w));
  return true;
}

bool sameWay(const host::Vec3& u, const host::Vec3& v) {
  double nu = host::norm(u), nv = host::norm(v);
  if (!(nu >= kSamePlane) || !(nv >= kSamePlane)) return false;
  return std::fabs(host::dot(u, v) - nu * nv) <= kSamePlane;
}

bool readMatrix(const rapidjson::Value* value, double (&m)[kMatrixSize]) {
  if (!value || !value->IsArray() || value->Size() != kMatrixSize) return false;
  for (rapidjson::SizeType i = 0; i < kMatrixSize; ++i) {
    const rapidjson::Value& element = (*value)[i];
    if (!element.IsNumber()) return false;
    m[i] = element.GetDouble();
  }
  return true;
}

bool planeFromMatrix(const double (&m)[kMatrixSize], host::Plane& out) {
  host::Point3 origin{m[12], m[13], m[14]};
  host::Vec3 x{m[0], m[1], m[2]}, y{m[4], m[5], m[6]}, n{m[8], m[9], m[10]};
  host::Vec3 xy = host::cross(x, y);
  if (!finite(xy)) return false;  // axes so large that their plane overflows
  bool parallel =
      std::fabs(xy.x) < kParallel && std::fabs(xy.y) < kParallel && std::fabs(xy.z) < kParallel;
  bool hasNormal =
      std::fabs(n.x) >= kParallel || std::fabs(n.y) >= kParallel || std::fabs(n.z) >= kParallel;
  if (parallel && hasNormal) return planeFromNormal(origin, n, out);
  out = host::Plane{origin, x, y};
  return true;
}

}  // namespace

host::Plane defaultPlane() {
  return host::Plane{};
}

bool planeFromNormal(const host::Point3& origin, const host::Vec3& normal, host::Plane& out) {
  host::Vec3 n;
  if (!finite(origin) || !unit(normal, n)) return false;
  int largest = 0;
  for (int i = 1; i < 3; ++i) {
    if (std::fabs(component(n, i)) > std::fabs(component(n, largest))) largest = i;
  }
  host::Vec3 axis = unitAxis((largest + 1) % 3);
  host::Vec3 first;
  if (!unit(axis - n * host::dot(axis, n), first)) return false;
  out = host::Plane{origin, first, host::cross(n, first)};
  return true;
}

host::Plane parseMatrix(const rapidjson::Value* value) {
  double m[kMatrixSize];
  host::Plane plane;
  if (!readMatrix(value, m) || !planeFromMatrix(m, plane)) {
    logErr("parseMatrix: invalid matrix array");
    return defaultPlane();
  }
  return plane;
}

bool IsSamePlane(const host::Plane& a, const host::Plane& b) {
  if (!(host::norm(a.origin - b.origin) <= kSamePlane)) return false;
  return sameWay(a.u, b.u) && sameWay(a.v, b.v) && sameWay(a.normal(), b.normal());
}

bool GetMathPlaneFromSpec(const host::SpecObjectPtr& feature, host::Plane& out) {
  if (!feature) return false;
  auto geometry = host::query<host::PlaneGeometry>(feature);
  if (!geometry) {
    logOut("error: QueryInterface IID_CAAISysPlane rc = " + std::to_string(host::kNoInterface));
    return false;
  }
  host::Plane plane;
  if (!geometry->plane(plane)) return false;
  return planeFromNormal(plane.origin, plane.normal(), out);
}

bool ComputePlaneNormal(const host::Point3& p1, const host::Point3& p2, const host::Point3& p3,
                        host::Vec3& out) {
  host::Vec3 n = host::cross(p2 - p1, p3 - p1);
  double squared = host::dot(n, n);
  if (!std::isfinite(squared) || squared <= kCollinear) return false;
  out = n * (1.0 / std::sqrt(squared));
  return true;
}

}  // namespace kestrun
