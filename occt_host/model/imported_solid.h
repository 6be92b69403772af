// A solid taken in as it is, without history (stands for a pasted result without link or the
// solid of an opened STEP file): the first feature of an isolated body.
#pragma once

#include <TopoDS_Shape.hxx>

#include <string>

#include "occt_host/model/solid_feature.h"

namespace occt_host {

class ImportedSolid : public SolidFeature {
 public:
  ImportedSolid(std::string name, TopoDS_Shape shape);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }
  const TopoDS_Shape& shape() const { return shape_; }

 protected:
  // Placed after other solid features, it is fused with the solid before it.
  TopoDS_Shape build(const TopoDS_Shape& before) override;

 private:
  TopoDS_Shape shape_;
};

}  // namespace occt_host
