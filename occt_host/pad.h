// A pad (stands for CATIPad): the sketch's profile extruded between two limits and
// fused into the body's solid.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "host/part_factory.h"
#include "occt_host/solid_feature.h"

namespace occt_host {

class Sketch;

class Pad : public SolidFeature, public host::Pad {
 public:
  Pad(std::string name, const std::shared_ptr<Sketch>& sketch);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::Prism. The direction defaults to the sketch's normal; values read back as set.
  host::Status setDirection(const host::Vec3& direction) override;
  host::Vec3 direction() const override;
  host::Status setLimitType(host::LimitEnd end, int type) override;
  int limitType(host::LimitEnd end) const override;
  host::Status setLimitLength(host::LimitEnd end, double length) override;
  double limitLength(host::LimitEnd end) const override;

 protected:
  void* findInterface(host::InterfaceId id) override;
  TopoDS_Shape build(const TopoDS_Shape& before) override;
  std::uint64_t inputRevision() const override;

 private:
  struct Limit {
    int type = host::kLimitLength;
    double length = 0;
  };
  static std::optional<std::size_t> slot(host::LimitEnd end);
  TopoDS_Shape extrude() const;

  std::weak_ptr<Sketch> sketch_;
  std::optional<host::Vec3> direction_;
  std::array<Limit, 2> limits_;
};

}  // namespace occt_host
