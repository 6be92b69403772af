// A hole (stands for the original's hole feature): a revolved half-profile drilled at a
// point of a planar support along a line and cut from the body's solid before it. It
// answers the interfaces of all four hole kinds and its own bottom limit; its type
// decides the shape. Consecutive holes, pockets and removes recompute as one cut.
#pragma once

#include <gp_Dir.hxx>
#include <gp_Pnt.hxx>

#include <memory>
#include <string>

#include "features/hole/hole_profile.h"
#include "host/hole_features.h"
#include "occt_host/model/solid_feature.h"

namespace occt_host {

class Hole : public SolidFeature,
             public host::SimpleHole,
             public host::TaperedHole,
             public host::CounterBoredHole,
             public host::CounterSunkHole,
             public host::HoleLimit {
 public:
  // `normal` is the support's normal; the hole starts out pointing to that side of the
  // support, along the axis.
  Hole(std::string name, const gp_Pnt& origin, const gp_Dir& axis, const gp_Dir& normal);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::Hole
  host::Status setType(int type) override;
  int type() const override { return shape_.type; }
  host::Status setDiameter(double diameter) override;
  double diameter() const override { return shape_.diameter; }
  host::Point3 origin() const override;
  host::Vec3 direction() const override;
  host::Status reverse() override;
  // host::TaperedHole
  host::Status setTaperAngle(double degrees) override;
  double taperAngle() const override { return shape_.taperAngle; }
  // host::CounterBoredHole
  host::Status setCounterboreDiameter(double diameter) override;
  double counterboreDiameter() const override { return shape_.counterboreDiameter; }
  host::Status setCounterboreDepth(double depth) override;
  double counterboreDepth() const override { return shape_.counterboreDepth; }
  // host::CounterSunkHole
  host::Status setCountersinkDiameter(double diameter) override;
  double countersinkDiameter() const override { return shape_.countersinkDiameter; }
  host::Status setCountersinkAngle(double degrees) override;
  double countersinkAngle() const override { return shape_.countersinkAngle; }
  // host::HoleLimit
  host::Status setDepth(double depth) override;
  double depth() const override { return shape_.depth; }
  host::Status setBottomType(int type) override;
  int bottomType() const override { return shape_.bottomType; }
  host::Status setBottomAngle(double degrees) override;
  double bottomAngle() const override { return shape_.bottomAngle; }

  const HoleShape& shape() const { return shape_; }
  RunKind runKind() const override { return RunKind::Cut; }
  TopoDS_Shape runTool() override;
  bool validFromCleanBooleans() const override { return true; }

 protected:
  void* findInterface(host::InterfaceId id) override;
  TopoDS_Shape build(const TopoDS_Shape& before) override;

 private:
  // Stores a finite value and puts the hole out of date; refuses anything else.
  host::Status set(double& field, double value);

  HoleShape shape_;
  gp_Pnt origin_;
  gp_Dir direction_;
};

// A hole at `point` on the plane of `support` along the line `line`; null when the
// support has no plane, `line` is no line, or the axis lies in the support's plane.
std::shared_ptr<Hole> makeHole(std::string name, const host::Point3& point,
                               const host::SpecObjectPtr& support, const host::SpecObjectPtr& line);

}  // namespace occt_host
