// A shell (stands for the original's shell): the solid hollowed to walls of the inner
// thickness inside its outer faces, open at the removed faces.
#pragma once

#include "features/dress_up/dress_up.h"

namespace occt_host {

class ShellFeature : public DressUpFeature {
 public:
  ShellFeature(std::string name, host::SpecObjectList openFaces, double inner, double outer);

 protected:
  TopoDS_Shape build(const TopoDS_Shape& before) override;

 private:
  TopoDS_Shape closedHollow(const TopoDS_Shape& before, double offset);

  double inner_, outer_;
};

}  // namespace occt_host
