// A constant-radius edge fillet (stands for the original's edge fillet).
#pragma once

#include "features/dress_up/dress_up.h"

namespace occt_host {

class FilletFeature : public DressUpFeature {
 public:
  FilletFeature(std::string name, host::SpecObjectList edges, double radius);

 protected:
  TopoDS_Shape build(const TopoDS_Shape& before) override;

 private:
  double radius_;
};

}  // namespace occt_host
