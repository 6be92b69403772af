// One of a Part's three reference planes.
#pragma once

#include <gp_Pln.hxx>

#include <string>

#include "occt_host/tree_node.h"

namespace occt_host {

class ReferencePlane : public TreeNode {
 public:
  ReferencePlane(std::string name, const gp_Pln& plane)
      : TreeNode("Plane", std::move(name)), plane_(plane) {}

  const gp_Pln& plane() const { return plane_; }

 private:
  gp_Pln plane_;
};

}  // namespace occt_host
