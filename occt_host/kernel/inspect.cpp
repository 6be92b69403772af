#include "occt_host/kernel/inspect.h"

#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>

#include "host/part.h"
#include "kernel/kernel_guard.h"
#include "occt_host/model/body.h"
#include "occt_host/model/part.h"
#include "occt_host/model/solid_feature.h"

namespace occt_host {

TopoDS_Shape solidOf(const host::SpecObjectPtr& object) {
  if (auto body = std::dynamic_pointer_cast<Body>(object)) return body->solid();
  if (auto part = std::dynamic_pointer_cast<Part>(object)) {
    auto main = part->mainBodyNode();
    return main ? main->solid() : TopoDS_Shape();
  }
  if (auto feature = std::dynamic_pointer_cast<SolidFeature>(object)) return feature->result();
  return TopoDS_Shape();
}

double partVolume(const std::shared_ptr<host::Document>& document) {
  return guarded(0.0, [&]() -> double {
    auto roots = host::query<host::DocumentRoots>(document);
    auto container =
        roots ? host::query<host::PartContainer>(roots->rootContainer(host::kPartContainerType))
              : nullptr;
    TopoDS_Shape solid = container ? solidOf(container->part()) : TopoDS_Shape();
    if (solid.IsNull()) return 0.0;
    GProp_GProps props;
    BRepGProp::VolumeProperties(solid, props);
    return props.Mass();
  });
}

}  // namespace occt_host
