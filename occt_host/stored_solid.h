// A solid read back from a stored document: the feature history is not stored, so a body
// of a reopened Part holds its last solid as one fixed feature.
#pragma once

#include <TopoDS_Shape.hxx>

#include <string>

#include "occt_host/solid_feature.h"

namespace occt_host {

class StoredSolid : public SolidFeature {
 public:
  StoredSolid(std::string name, TopoDS_Shape shape)
      : SolidFeature("Solid", std::move(name)), shape_(std::move(shape)) {}

 protected:
  TopoDS_Shape build(const TopoDS_Shape& before) override;

 private:
  TopoDS_Shape shape_;
};

}  // namespace occt_host
