#include "occt_host/model/tree_container.h"

#include <algorithm>

#include "kernel/kernel_guard.h"

namespace occt_host {

host::SpecObjectList TreeContainer::children() {
  return guarded({}, [&] { return host::SpecObjectList(children_.begin(), children_.end()); });
}

host::SpecObjectList TreeContainer::allDescendants() {
  return guarded({}, [&] {
    host::SpecObjectList out;
    collect(out);
    return out;
  });
}

void TreeContainer::collect(host::SpecObjectList& out) const {
  for (const auto& child : children_) {
    out.push_back(child);
    if (auto inner = std::dynamic_pointer_cast<TreeContainer>(child)) inner->collect(out);
  }
}

host::Status TreeContainer::removeChild(const host::SpecObjectPtr& child) {
  return guarded(host::kFail, [&]() -> host::Status {
    if (!child) return host::kPointer;
    const auto* node = dynamic_cast<const TreeNode*>(child.get());
    std::size_t index = indexOf(node);
    if (index == children_.size()) return host::kInvalidArg;
    std::shared_ptr<TreeNode> removed = children_[index];
    children_.erase(children_.begin() + static_cast<std::ptrdiff_t>(index));
    removed->parent_.reset();
    // Features that read the removed node see it change and recompute.
    removed->touch();
    childRemoved(*removed, *this, index);
    touch();
    return host::kOk;
  });
}

// Moves the child here from wherever it was, so that it has one father only.
host::Status TreeContainer::appendChild(const host::SpecObjectPtr& child) {
  return guarded(host::kFail, [&]() -> host::Status {
    auto node = std::dynamic_pointer_cast<TreeNode>(child);
    if (!node) return host::kInvalidArg;
    if (isWithin(node.get())) return host::kInvalidArg;  // would make a cycle
    if (auto father = std::dynamic_pointer_cast<TreeContainer>(node->parentNode())) {
      host::Status removed = father->removeChild(node);
      if (host::failed(removed)) return removed;
    }
    append(node);
    return host::kOk;
  });
}

void TreeContainer::insertChild(const std::shared_ptr<TreeNode>& child, std::size_t index) {
  index = std::min(index, children_.size());
  children_.insert(children_.begin() + static_cast<std::ptrdiff_t>(index), child);
  child->parent_ = self();
  touch();
  childAdded(*child);
}

std::size_t TreeContainer::indexOf(const TreeNode* child) const {
  auto it = std::find_if(children_.begin(), children_.end(),
                         [child](const auto& c) { return c.get() == child; });
  return static_cast<std::size_t>(it - children_.begin());
}

void* TreeContainer::findInterface(host::InterfaceId id) {
  if (id == host::Descendants::kInterfaceId) return static_cast<host::Descendants*>(this);
  return TreeNode::findInterface(id);
}

}  // namespace occt_host
