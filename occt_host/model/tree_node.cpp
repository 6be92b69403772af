#include "occt_host/model/tree_node.h"

#include <atomic>
#include <utility>

#include "kernel/kernel_guard.h"

namespace occt_host {

namespace {

std::atomic<std::uint64_t> generation{1};

}  // namespace

std::uint64_t TreeNode::modelGeneration() {
  return generation.load(std::memory_order_relaxed);
}

void TreeNode::noteModelChange() {
  generation.fetch_add(1, std::memory_order_relaxed);
}

TreeNode::TreeNode(std::string type, std::string name)
    : type_(std::move(type)), name_(std::move(name)) {}

std::string TreeNode::typeName() const {
  return guarded({}, [&] { return type_; });
}

std::string TreeNode::name() const {
  return guarded({}, [&] { return name_; });
}

host::SpecObjectPtr TreeNode::father() {
  return guarded(nullptr, [&] { return parent_.lock(); });
}

host::UpdateResult TreeNode::update() {
  host::UpdateResult result;
  std::string error;
  if (!runGuarded([&] { result = recompute(); }, error)) {
    result.status = host::kFail;
    result.diagnostic = error;
  }
  return result;
}

host::UpdateResult TreeNode::recompute() {
  return {};
}

std::string TreeNode::alias() const {
  return guarded({}, [&] { return displayName(); });
}

host::Status TreeNode::setAlias(const std::string& name) {
  if (name.empty()) return host::kInvalidArg;
  return guarded(host::kFail, [&] {
    alias_ = name;
    return host::kOk;
  });
}

host::Status TreeNode::setColor(const host::Color& color) {
  auto inRange = [](int c) { return c >= 0 && c <= 255; };
  if (!inRange(color.r) || !inRange(color.g) || !inRange(color.b)) return host::kInvalidArg;
  color_ = color;
  return host::kOk;
}

bool TreeNode::color(host::Color& out) const {
  if (!color_) return false;
  out = *color_;
  return true;
}

host::Status TreeNode::setShown(bool shown) {
  shown_ = shown;
  return host::kOk;
}

bool TreeNode::shown() const {
  return shown_;
}

bool TreeNode::isWithin(const TreeNode* ancestor) const {
  for (std::shared_ptr<const TreeNode> node =
           std::static_pointer_cast<const TreeNode>(shared_from_this());
       node; node = node->parentNode()) {
    if (node.get() == ancestor) return true;
  }
  return false;
}

std::string TreeNode::displayName() const {
  return alias_.empty() ? name_ : alias_;
}

void TreeNode::childRemoved(TreeNode& removed, TreeContainer& from, std::size_t index) {
  if (auto parent = parentNode()) parent->childRemoved(removed, from, index);
}

void TreeNode::childAdded(TreeNode& added) {
  if (auto parent = parentNode()) parent->childAdded(added);
}

void* TreeNode::findInterface(host::InterfaceId id) {
  return host::answerAs<host::SpecObject, host::Alias, host::VisProperties>(this, id);
}

}  // namespace occt_host
