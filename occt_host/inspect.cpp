#include "occt_host/inspect.h"

#include "occt_host/body.h"
#include "occt_host/part.h"
#include "occt_host/solid_feature.h"

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

}  // namespace occt_host
