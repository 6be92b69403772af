// A rib (stands for the part design rib): the profile sketch's contours swept along the
// path sketch, keeping a constant angle to the path's plane, and fused into the body's
// solid. A profile away from the path's start is swept from where it lies.
#pragma once

#include <memory>
#include <string>

#include "occt_host/model/solid_feature.h"

namespace occt_host {

class Sketch;

class Rib : public SolidFeature {
 public:
  Rib(std::string name, const std::shared_ptr<Sketch>& profile,
      const std::shared_ptr<Sketch>& path);

 protected:
  TopoDS_Shape build(const TopoDS_Shape& before) override;
  std::uint64_t inputRevision() const override;

 private:
  std::weak_ptr<Sketch> profile_, path_;
};

}  // namespace occt_host
