#include "features/hole/hole_factory.h"

#include "features/hole/hole.h"
#include "kernel/kernel_guard.h"
#include "occt_host/model/part.h"

namespace occt_host {

host::SpecObjectPtr HoleFactory::createHole(const host::Point3& point,
                                            const host::SpecObjectPtr& support,
                                            const host::SpecObjectPtr& direction) {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    auto hole = makeHole(part_.nextName("Hole"), point, support, direction);
    if (!hole || host::failed(part_.addFeature(hole))) return nullptr;
    return hole;
  });
}

}  // namespace occt_host
