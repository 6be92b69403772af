// A draft (stands for the original's draft angle feature): faces tilted about their
// intersection with a neutral plane so that they lean inward along the pulling direction,
// as a moulded part leaves its mould.
#pragma once

#include "features/dress_up/dress_up.h"
#include "host/values.h"

namespace occt_host {

class DraftFeature : public DressUpFeature {
 public:
  DraftFeature(std::string name, host::SpecObjectList faces, host::SpecObjectPtr neutral,
               const host::Vec3& pull, double angleDegrees);

 protected:
  TopoDS_Shape build(const TopoDS_Shape& before) override;

 private:
  host::SpecObjectPtr neutral_;
  host::Vec3 pull_;
  double angle_;
};

}  // namespace occt_host
