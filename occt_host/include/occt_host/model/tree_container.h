// A tree node that holds an ordered list of children (the Part, bodies).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "host/spec_object.h"
#include "occt_host/model/tree_node.h"

namespace occt_host {

class TreeContainer : public TreeNode, public host::Descendants {
 public:
  using TreeNode::TreeNode;

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::Descendants (stands for CATIDescendants)
  host::SpecObjectList children() override;
  host::SpecObjectList allDescendants() override;
  host::Status removeChild(const host::SpecObjectPtr& child) override;
  host::Status appendChild(const host::SpecObjectPtr& child) override;

  const std::vector<std::shared_ptr<TreeNode>>& childNodes() const { return children_; }
  // Places `child` at `index` (clamped to the end) and makes this its father.
  void insertChild(const std::shared_ptr<TreeNode>& child, std::size_t index);
  void append(const std::shared_ptr<TreeNode>& child) { insertChild(child, children_.size()); }
  // The position of `child`, or the number of children when it is not one.
  std::size_t indexOf(const TreeNode* child) const;

 protected:
  void* findInterface(host::InterfaceId id) override;

 private:
  void collect(host::SpecObjectList& out) const;

  std::vector<std::shared_ptr<TreeNode>> children_;
};

}  // namespace occt_host
