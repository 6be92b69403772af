#include "occt_host/model/body.h"

#include "host/interface_table.h"
#include "kernel/kernel_guard.h"

#include "occt_host/model/solid_feature.h"

namespace occt_host {

Body::Body(std::string name) : TreeContainer("Body", std::move(name)) {}

std::shared_ptr<SolidFeature> Body::solidFeatureBefore(const TreeNode* feature) const {
  const auto& nodes = childNodes();
  for (std::size_t i = indexOf(feature); i > 0; --i) {
    if (auto solid = toSolidFeature(nodes[i - 1])) return solid;
  }
  return nullptr;
}

// The body's solid is what views show and exports write: it always has the kernel's full
// check, once per result. When a result left unchecked fails it, every feature of the body
// is computed again with the full check, so that the one at fault fails as it would have.
std::shared_ptr<SolidFeature> Body::checkedTip() {
  auto last = solidFeatureBefore(nullptr);
  if (!last || last->checkedNow()) return last;
  for (const auto& feature : solidFeatures()) feature->distrust();
  last->checkedNow();
  return last;
}

namespace {

TopoDS_Shape resultOf(const std::shared_ptr<SolidFeature>& feature) {
  return feature ? feature->result() : TopoDS_Shape();
}

std::uint64_t stampOf(const std::shared_ptr<SolidFeature>& feature) {
  return feature ? feature->resultStamp() : 0;
}

}  // namespace

TopoDS_Shape Body::solid() {
  return resultOf(checkedTip());
}

std::uint64_t Body::solidStamp() {
  return stampOf(checkedTip());
}

std::shared_ptr<SolidFeature> Body::toolTip() {
  auto last = solidFeatureBefore(nullptr);
  if (last && last->validAsMade()) return last;
  return checkedTip();
}

TopoDS_Shape Body::toolSolid() {
  return resultOf(toolTip());
}

// A boolean reads this for every tool of its run at each measure, and a report measures
// after every item: read again while nothing in the model changed, it is the same.
std::uint64_t Body::toolSolidStamp() {
  if (toolStamp_.generation == modelGeneration()) return toolStamp_.stamp;
  auto last = solidFeatureBefore(nullptr);
  // validAsMade() has just brought the tip up to date: one refresh of it, not two.
  const std::uint64_t stamp =
      last && last->validAsMade() ? last->keptStamp() : stampOf(checkedTip());
  toolStamp_ = {modelGeneration(), stamp};
  return stamp;
}

std::vector<std::shared_ptr<SolidFeature>> Body::solidFeatures() const {
  std::vector<std::shared_ptr<SolidFeature>> features;
  for (const auto& node : childNodes()) {
    if (auto feature = toSolidFeature(node)) features.push_back(feature);
  }
  return features;
}

// A run is computed once, through its last feature; the features inside it are
// not computed one by one unless the joint cut failed, in which case they know why.
host::UpdateResult Body::recompute() {
  auto features = solidFeatures();
  for (std::size_t i = 0; i < features.size(); ++i) {
    const auto kind = features[i]->runKind();
    bool inner = i + 1 < features.size() && kind != SolidFeature::RunKind::None &&
                 features[i + 1]->runKind() == kind;
    if (!inner) features[i]->result();
  }
  checkedTip();
  for (const auto& feature : features) {
    if (!feature->upToDate() || feature->error().empty()) continue;
    host::UpdateResult outcome;
    outcome.status = host::kFail;
    outcome.diagnostic = feature->error();
    return outcome;
  }
  return {};
}

bool Body::volume(double& mm3) {
  return guarded(false, [&]() -> bool {
    return volume_.volume(
        solidStamp(), [this] { return solid(); }, mm3);
  });
}

void* Body::findInterface(host::InterfaceId id) {
  if (void* found = host::answerAs<host::SolidVolume>(this, id)) return found;
  return TreeContainer::findInterface(id);
}

}  // namespace occt_host
