// One of a Part's three reference planes.
#pragma once

#include <gp_Pln.hxx>

#include <string>

#include "host/wireframe.h"
#include "occt_host/model/tree_node.h"

namespace occt_host {

class ReferencePlane : public TreeNode, public host::PlaneGeometry {
 public:
  ReferencePlane(std::string name, const gp_Pln& plane)
      : TreeNode("Plane", std::move(name)), plane_(plane) {}

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }
  bool plane(host::Plane& out) override;

  const gp_Pln& plane() const { return plane_; }

 protected:
  void* findInterface(host::InterfaceId id) override;

 private:
  gp_Pln plane_;
};

// The host's plane value of an OCCT plane: origin and its two unit axes.
host::Plane toHostPlane(const gp_Pln& plane);

}  // namespace occt_host
