// A plane feature of the wireframe: an origin and two directions.
#pragma once

#include <gp_Pln.hxx>

#include <memory>
#include <string>

#include "host/wireframe.h"
#include "occt_host/model/tree_node.h"

namespace occt_host {

class PlaneFeature : public TreeNode, public host::PlaneGeometry {
 public:
  // Null when the directions are degenerate or parallel.
  static std::shared_ptr<PlaneFeature> create(std::string name, const host::Plane& plane);
  PlaneFeature(std::string name, const gp_Pln& plane);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }
  bool plane(host::Plane& out) override;
  const gp_Pln& geometry() const { return plane_; }

 protected:
  void* findInterface(host::InterfaceId id) override;

 private:
  gp_Pln plane_;
};

}  // namespace occt_host
