#include "occt_host/model/part.h"

#include <gp_Ax3.hxx>
#include <gp_Pln.hxx>

#include <algorithm>

#include "kernel/kernel_guard.h"
#include "model/reference_plane.h"
#include "occt_host/model/body.h"
#include "occt_host/model/product.h"

namespace occt_host {

namespace {

// Whether `node` is `removed` or lies below it; the removed subtree is already detached.
bool removedWith(const TreeNode* node, const TreeNode& removed) {
  return node && node->isWithin(&removed);
}

}  // namespace

Part::Part(std::string name) : TreeContainer("Part", std::move(name)) {}

std::shared_ptr<Part> Part::create(std::string name) {
  auto part = std::make_shared<Part>(std::move(name));
  const gp_Pnt origin(0, 0, 0);
  // XY, YZ, ZX: each plane's first axis is the first letter, its normal the third axis.
  part->append(
      std::make_shared<ReferencePlane>("xy plane", gp_Pln(gp_Ax3(origin, gp::DZ(), gp::DX()))));
  part->append(
      std::make_shared<ReferencePlane>("yz plane", gp_Pln(gp_Ax3(origin, gp::DX(), gp::DY()))));
  part->append(
      std::make_shared<ReferencePlane>("zx plane", gp_Pln(gp_Ax3(origin, gp::DY(), gp::DZ()))));
  auto body = std::make_shared<Body>("PartBody");
  part->append(body);
  part->mainBody_ = body;
  part->currentTool_ = body;
  part->currentFeature_ = body;
  return part;
}

host::SpecObjectPtr Part::currentFeature() {
  auto feature = currentFeature_.lock();
  return owns(feature.get()) ? feature : nullptr;
}

// A feature inside a body also makes that body the current tool.
host::Status Part::setCurrentFeature(const host::SpecObjectPtr& feature) {
  return guarded(host::kFail, [&]() -> host::Status {
    if (!feature) return host::kPointer;
    auto node = std::dynamic_pointer_cast<TreeNode>(feature);
    if (!owns(node.get())) return host::kInvalidArg;
    if (auto body = std::dynamic_pointer_cast<Body>(node)) {
      currentTool_ = body;
    } else if (auto father = std::dynamic_pointer_cast<Body>(node->parentNode())) {
      currentTool_ = father;
    }
    currentFeature_ = node;
    return host::kOk;
  });
}

host::SpecObjectPtr Part::currentTool() {
  auto tool = currentTool_.lock();
  return owns(tool.get()) ? tool : nullptr;
}

host::Status Part::setCurrentTool(const host::SpecObjectPtr& tool) {
  return guarded(host::kFail, [&]() -> host::Status {
    if (!tool) return host::kPointer;
    auto body = std::dynamic_pointer_cast<Body>(tool);
    if (!body || !owns(body.get())) return host::kInvalidArg;
    currentTool_ = body;
    auto feature = currentFeature_.lock();
    if (!feature || !feature->isWithin(body.get())) currentFeature_ = body;
    return host::kOk;
  });
}

host::SpecObjectPtr Part::mainBody() {
  return mainBodyNode();
}

std::shared_ptr<Body> Part::mainBodyNode() const {
  auto body = mainBody_.lock();
  return owns(body.get()) ? body : nullptr;
}

host::SpecObjectList Part::referencePlanes() {
  return guarded({}, [&] {
    host::SpecObjectList planes;
    for (const auto& child : childNodes()) {
      if (std::dynamic_pointer_cast<ReferencePlane>(child)) planes.push_back(child);
    }
    return planes;
  });
}

host::Status Part::addFeature(const std::shared_ptr<TreeNode>& feature) {
  auto tool = currentTool_.lock();
  if (!owns(tool.get())) return host::kUnexpected;
  auto current = currentFeature_.lock();
  std::size_t index = tool->indexOf(current.get());
  index = index < tool->childNodes().size() ? index + 1 : tool->childNodes().size();
  tool->insertChild(feature, index);
  currentFeature_ = feature;
  return host::kOk;
}

std::string Part::nextName(const std::string& type) {
  return type + "." + std::to_string(++counters_[type]);
}

std::shared_ptr<Body> Part::firstBody() const {
  for (const auto& child : childNodes()) {
    if (auto body = std::dynamic_pointer_cast<Body>(child)) return body;
  }
  return nullptr;
}

// Keeps the current tool and feature inside the Part: the feature falls back to the one
// before the removed node, or to its container.
void Part::childRemoved(TreeNode& removed, TreeContainer& from, std::size_t index) {
  auto tool = currentTool_.lock();
  if (!tool || removedWith(tool.get(), removed)) {
    std::shared_ptr<Body> fallback = mainBodyNode();
    tool = fallback ? fallback : firstBody();
    currentTool_ = tool;
  }
  auto feature = currentFeature_.lock();
  if (feature && !removedWith(feature.get(), removed) && owns(feature.get())) return;
  std::shared_ptr<TreeNode> next;
  if (tool && &from == tool.get()) {
    next = index > 0 ? from.childNodes()[index - 1] : tool;
  } else {
    next = tool;
  }
  currentFeature_ = next;
}

// A node joins with whatever it already holds (a body filled before it was placed).
void Part::childAdded(TreeNode& added) {
  if (!added.journaled()) {
    added.setJournaled();
    if (journal_.size() >= 2 * keptAfterDrop_ + 64) dropGone();
    journal_.push_back({joined_++, added.self()});
  }
  if (auto container = dynamic_cast<TreeContainer*>(&added)) {
    for (const auto& child : container->childNodes()) childAdded(*child);
  }
}

// Amortised: the journal is scanned again only once it has doubled since the last time.
void Part::dropGone() {
  journal_.erase(std::remove_if(journal_.begin(), journal_.end(),
                                [](const Joined& entry) { return entry.node.expired(); }),
                 journal_.end());
  keptAfterDrop_ = journal_.size();
}

host::SpecObjectList Part::joinedSince(std::uint64_t mark) {
  return guarded({}, [&] {
    host::SpecObjectList joined;
    auto from = std::lower_bound(
        journal_.begin(), journal_.end(), mark,
        [](const Joined& entry, std::uint64_t number) { return entry.number < number; });
    for (auto it = from; it != journal_.end(); ++it) {
      auto node = it->node.lock();
      if (node && owns(node.get())) joined.push_back(node);
    }
    return joined;
  });
}

bool Part::volume(double& mm3) {
  bool any = false;
  double total = 0;
  for (const auto& node : childNodes()) {
    auto body = std::dynamic_pointer_cast<Body>(node);
    double each = 0;
    if (body && body->volume(each)) {
      total += each;
      any = true;
    }
  }
  if (any) mm3 = total;
  return any;
}

void* Part::findInterface(host::InterfaceId id) {
  if (id == host::Part::kInterfaceId) return static_cast<host::Part*>(this);
  if (id == host::SolidVolume::kInterfaceId) return static_cast<host::SolidVolume*>(this);
  if (id == host::CreationJournal::kInterfaceId) return static_cast<host::CreationJournal*>(this);
  if (id == host::PartProduct::kInterfaceId && !product_.expired())
    return static_cast<host::PartProduct*>(this);
  return TreeContainer::findInterface(id);
}

host::ProductPtr Part::product() {
  return product_.lock();
}

host::UpdateResult Part::recompute() {
  for (const auto& child : childNodes()) {
    if (!std::dynamic_pointer_cast<Body>(child)) continue;
    host::UpdateResult outcome = child->update();
    if (!outcome.ok()) return outcome;
  }
  return {};
}

}  // namespace occt_host
