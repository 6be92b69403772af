// A shaft (stands for CATIShaft): the sketch's profile revolved about an axis line from
// the start angle to the end angle and fused into the body's solid.
#pragma once

#include <gp_Ax1.hxx>
#include <gp_Pln.hxx>

#include <memory>
#include <string>

#include "host/sweep_features.h"
#include "occt_host/model/solid_feature.h"

namespace occt_host {

class LineFeature;
class Sketch;

class Shaft : public SolidFeature, public host::Shaft {
 public:
  Shaft(std::string name, const std::shared_ptr<Sketch>& sketch);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::Shaft: non-finite angles and objects that are not lines are refused.
  host::Status setStartAngle(double degrees) override;
  double startAngle() const override { return start_; }
  host::Status setEndAngle(double degrees) override;
  double endAngle() const override { return end_; }
  host::Status setAxis(const host::SpecObjectPtr& line) override;
  host::SpecObjectPtr axis() const override;

 protected:
  void* findInterface(host::InterfaceId id) override;
  TopoDS_Shape build(const TopoDS_Shape& before) override;
  std::uint64_t inputRevision() const override;

 private:
  gp_Ax1 axisOrThrow() const;
  double spanOrThrow() const;

  std::weak_ptr<Sketch> sketch_;
  std::shared_ptr<LineFeature> axis_;
  // A new shaft makes a full turn until told otherwise.
  double start_ = 0, end_ = 360;
};

// Throws when revolving `profile` about `axis` would sweep the profile through itself:
// the profile lies on both sides of the axis, or the axis pierces it. `owner` names the
// feature in the text.
void checkProfileClearsAxis(const TopoDS_Shape& profile, const gp_Pln& plane, const gp_Ax1& axis,
                            const std::string& owner);

}  // namespace occt_host
