// A knowledge length parameter, held in metres as the original stores lengths.
#pragma once

#include <string>

#include "host/wireframe.h"
#include "occt_host/model/tree_node.h"

namespace occt_host {

class LengthParameter : public TreeNode, public host::LengthParameter {
 public:
  LengthParameter(std::string name, double metres)
      : TreeNode("Length", std::move(name)), metres_(metres) {}

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }
  double metres() const override { return metres_; }
  host::Status setMetres(double value) override;

 protected:
  void* findInterface(host::InterfaceId id) override;

 private:
  double metres_;
};

}  // namespace occt_host
