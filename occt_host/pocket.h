// A pocket (stands for CATIPocket): the sketch's profile extruded between two limits and
// cut from the body's solid before it. Consecutive pockets and removes recompute as one
// cut with many tools.
#pragma once

#include <memory>
#include <string>

#include "host/part_factory.h"
#include "occt_host/prism_parameters.h"
#include "occt_host/solid_feature.h"

namespace occt_host {

class Sketch;

class Pocket : public SolidFeature, public host::Pocket {
 public:
  Pocket(std::string name, const std::shared_ptr<Sketch>& sketch);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::Prism
  host::Status setDirection(const host::Vec3& direction) override;
  host::Vec3 direction() const override;
  host::Status setLimitType(host::LimitEnd end, int type) override;
  int limitType(host::LimitEnd end) const override;
  host::Status setLimitLength(host::LimitEnd end, double length) override;
  double limitLength(host::LimitEnd end) const override;

  bool joinsCutRun() const override { return true; }
  TopoDS_Shape cutTool() override { return prism_.extrude(name()); }

 protected:
  void* findInterface(host::InterfaceId id) override;
  TopoDS_Shape build(const TopoDS_Shape& before) override;
  std::uint64_t inputRevision() const override { return prism_.sketchRevision(); }

 private:
  host::Status changed(host::Status status);

  PrismParameters prism_;
};

}  // namespace occt_host
