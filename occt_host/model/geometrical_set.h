// A geometrical set: a folder of wireframe and reference objects, ordered or not.
#pragma once

#include <string>

#include "host/wireframe.h"
#include "occt_host/model/tree_container.h"

namespace occt_host {

class GeometricalSet : public TreeContainer, public host::GeometricalSet {
 public:
  GeometricalSet(std::string name, bool ordered)
      : TreeContainer(ordered ? "OrderedGeometricalSet" : "GeometricalSet", std::move(name)),
        ordered_(ordered) {}

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }
  int setType() const override { return ordered_ ? 1 : 0; }
  // The set keeps its children in creation order already; a member is in its place.
  host::Status insertIntoLinearBody(const host::SpecObjectPtr& feature) override;

 protected:
  void* findInterface(host::InterfaceId id) override;

 private:
  bool ordered_;
};

}  // namespace occt_host
