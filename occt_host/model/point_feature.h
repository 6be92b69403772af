// A point of the wireframe.
#pragma once

#include <gp_Pnt.hxx>

#include <string>

#include "host/wireframe.h"
#include "occt_host/model/tree_node.h"

namespace occt_host {

class PointFeature : public TreeNode, public host::PointGeometry {
 public:
  PointFeature(std::string name, const gp_Pnt& at) : TreeNode("Point", std::move(name)), at_(at) {}

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }
  bool position(host::Point3& out) override;
  const gp_Pnt& point() const { return at_; }

 protected:
  void* findInterface(host::InterfaceId id) override;

 private:
  gp_Pnt at_;
};

}  // namespace occt_host
