#include "occt_host/hole_factory.h"

#include "occt_host/hole.h"
#include "occt_host/part.h"

namespace occt_host {

host::SpecObjectPtr HoleFactory::createHole(const host::Point3& point,
                                            const host::SpecObjectPtr& support,
                                            const host::SpecObjectPtr& direction) {
  try {
    auto hole = makeHole(part_.nextName("Hole"), point, support, direction);
    if (!hole || host::failed(part_.addFeature(hole))) return nullptr;
    return hole;
  } catch (...) {
    return nullptr;
  }
}

}  // namespace occt_host
