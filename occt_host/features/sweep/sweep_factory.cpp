#include "features/sweep/sweep_factory.h"

#include <cmath>

#include "features/sweep/loft.h"
#include "features/sweep/rib.h"
#include "features/sweep/shaft.h"
#include "host/sketch.h"
#include "host/wireframe.h"
#include "kernel/kernel_guard.h"
#include "model/point_feature.h"
#include "occt_host/model/part.h"
#include "sketch/sketch.h"

namespace occt_host {

namespace {

std::shared_ptr<Sketch> sketchOf(const host::SpecObjectPtr& object, const Part& part) {
  auto sketch = std::dynamic_pointer_cast<Sketch>(object);
  return sketch && sketch->isWithin(&part) ? sketch : nullptr;
}

// The plane of a plane feature, a reference plane or a sketch.
bool planeOf(const host::SpecObjectPtr& object, host::Plane& out) {
  if (auto geometry = host::query<host::PlaneGeometry>(object)) return geometry->plane(out);
  if (auto sketch = host::query<host::Sketch>(object)) {
    out = sketch->plane();
    return true;
  }
  return false;
}

host::Vec3 unit(const host::Vec3& v) {
  const double length = host::norm(v);
  return length > 0 ? v * (1.0 / length) : v;
}

// Features are added after the current feature, which they then replace.
host::SpecObjectPtr placed(Part& part, const std::shared_ptr<TreeNode>& feature) {
  if (host::failed(part.addFeature(feature))) return nullptr;
  return std::dynamic_pointer_cast<host::SpecObject>(feature);
}

}  // namespace

host::SpecObjectPtr SweepFactory::createShaft(const host::SpecObjectPtr& sketch) {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    auto profile = sketchOf(sketch, part_);
    if (!profile) return nullptr;
    return placed(part_, std::make_shared<Shaft>(part_.nextName("Shaft"), profile));
  });
}

host::SpecObjectPtr SweepFactory::createLoft() {
  return guarded(nullptr,
                 [&] { return placed(part_, std::make_shared<Loft>(part_.nextName("Loft"))); });
}

host::SpecObjectPtr SweepFactory::createRib(const host::SpecObjectPtr& profile,
                                            const host::SpecObjectPtr& path) {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    auto section = sketchOf(profile, part_);
    auto spine = sketchOf(path, part_);
    if (!section || !spine) return nullptr;
    return placed(part_, std::make_shared<Rib>(part_.nextName("Rib"), section, spine));
  });
}

host::SpecObjectPtr SweepFactory::createPointOnPlane(const host::SpecObjectPtr& plane,
                                                     const host::SpecObjectPtr& x,
                                                     const host::SpecObjectPtr& y) {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    host::Plane on;
    auto u = host::query<host::LengthParameter>(x);
    auto v = host::query<host::LengthParameter>(y);
    if (!u || !v || !planeOf(plane, on)) return nullptr;
    // Parameters hold metres; the model is in millimetres.
    const host::Point3 at =
        on.origin + unit(on.u) * (u->metres() * 1000.0) + unit(on.v) * (v->metres() * 1000.0);
    if (!std::isfinite(at.x) || !std::isfinite(at.y) || !std::isfinite(at.z)) return nullptr;
    return std::make_shared<PointFeature>(part_.nextName("Point"), gp_Pnt(at.x, at.y, at.z));
  });
}

}  // namespace occt_host
