#include "sketch/sketch_on_plane.h"

#include "host/wireframe.h"
#include "kernel/kernel_guard.h"
#include "occt_host/model/part.h"
#include "sketch/sketch.h"

namespace occt_host {

host::SpecObjectPtr createSketchOnPlane(Part& part, const host::SpecObjectPtr& planeFeature) {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    auto geometry = host::query<host::PlaneGeometry>(planeFeature);
    host::Plane plane;
    if (!geometry || !geometry->plane(plane)) return nullptr;
    auto sketch = Sketch::create(part.nextName("Sketch"), plane.origin, plane.u, plane.v);
    if (!sketch) return nullptr;
    sketch->setSupport(planeFeature);
    if (host::failed(part.addFeature(sketch))) return nullptr;
    return sketch;
  });
}

}  // namespace occt_host
