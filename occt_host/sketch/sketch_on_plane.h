// Sketches put on a reference plane or a plane feature of a Part.
#pragma once

#include "host/spec_object.h"

namespace occt_host {

class Part;

// A sketch on the plane of `planeFeature` (one that answers PlaneGeometry), added after the current
// feature; its axes are the plane's directions. Null when the support has no plane. The container's
// SketchFactory answers through this.
host::SpecObjectPtr createSketchOnPlane(Part& part, const host::SpecObjectPtr& planeFeature);

}  // namespace occt_host
