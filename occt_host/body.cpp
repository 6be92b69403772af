#include "occt_host/body.h"

#include "occt_host/solid_feature.h"

namespace occt_host {

Body::Body(std::string name) : TreeContainer("Body", std::move(name)) {}

std::shared_ptr<SolidFeature> Body::solidFeatureBefore(const TreeNode* feature) const {
  const auto& nodes = childNodes();
  for (std::size_t i = indexOf(feature); i > 0; --i) {
    if (auto solid = std::dynamic_pointer_cast<SolidFeature>(nodes[i - 1])) return solid;
  }
  return nullptr;
}

TopoDS_Shape Body::solid() {
  auto last = solidFeatureBefore(nullptr);
  return last ? last->result() : TopoDS_Shape();
}

host::UpdateResult Body::recompute() {
  for (const auto& node : childNodes()) {
    auto feature = std::dynamic_pointer_cast<SolidFeature>(node);
    if (!feature) continue;
    host::UpdateResult outcome = feature->update();
    if (!outcome.ok()) return outcome;
  }
  return {};
}

}  // namespace occt_host
