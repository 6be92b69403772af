// A line of the wireframe through two points (an axis for revolutions and patterns).
#pragma once

#include <gp_Pnt.hxx>

#include <string>

#include "occt_host/model/tree_node.h"

namespace occt_host {

class LineFeature : public TreeNode {
 public:
  LineFeature(std::string name, const gp_Pnt& from, const gp_Pnt& to)
      : TreeNode("Line", std::move(name)), from_(from), to_(to) {}

  const gp_Pnt& from() const { return from_; }
  const gp_Pnt& to() const { return to_; }

 private:
  gp_Pnt from_, to_;
};

}  // namespace occt_host
