#include "model/structure_factory.h"

#include <cmath>

#include "kernel/kernel_guard.h"
#include "model/geometrical_set.h"
#include "model/length_parameter.h"
#include "model/plane_feature.h"
#include "model/point_feature.h"
#include "occt_host/model/body.h"
#include "occt_host/model/line_feature.h"
#include "occt_host/model/part.h"

namespace occt_host {

namespace {

bool pointOf(const host::SpecObjectPtr& feature, gp_Pnt& out) {
  auto geometry = host::query<host::PointGeometry>(feature);
  host::Point3 p;
  if (!geometry || !geometry->position(p)) return false;
  out = gp_Pnt(p.x, p.y, p.z);
  return true;
}

}  // namespace

host::SpecObjectPtr StructureFactory::createPoint(const host::Point3& at) {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    if (!std::isfinite(at.x) || !std::isfinite(at.y) || !std::isfinite(at.z)) return nullptr;
    return std::make_shared<PointFeature>(part_.nextName("Point"), gp_Pnt(at.x, at.y, at.z));
  });
}

host::SpecObjectPtr StructureFactory::createLine(const host::SpecObjectPtr& from,
                                                 const host::SpecObjectPtr& to) {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    gp_Pnt a, b;
    if (!pointOf(from, a) || !pointOf(to, b) || a.Distance(b) <= 1e-7) return nullptr;
    return std::make_shared<LineFeature>(part_.nextName("Line"), a, b);
  });
}

host::SpecObjectPtr StructureFactory::createPlane(const host::Plane& plane) {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    return PlaneFeature::create(part_.nextName("Plane"), plane);
  });
}

host::SpecObjectPtr StructureFactory::createBody(const std::string& name) {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    auto body = std::make_shared<Body>(name.empty() ? part_.nextName("Body") : name);
    part_.append(body);
    return body;
  });
}

host::SpecObjectPtr StructureFactory::createGeometricalSet(const std::string& name, bool ordered) {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    auto set = std::make_shared<GeometricalSet>(
        name.empty() ? part_.nextName("Geometrical Set") : name, ordered);
    part_.append(set);
    return set;
  });
}

host::SpecObjectPtr StructureFactory::createLength(const std::string& name, double metres) {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    if (!std::isfinite(metres)) return nullptr;
    return std::make_shared<LengthParameter>(name, metres);
  });
}

}  // namespace occt_host
