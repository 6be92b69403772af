// The parameters of a prism (a pad or a pocket): its sketch, direction and two length
// limits, and the extrusion they describe.
#pragma once

#include <TopoDS_Shape.hxx>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "host/part_factory.h"

namespace occt_host {

class Sketch;

class PrismParameters {
 public:
  explicit PrismParameters(const std::shared_ptr<Sketch>& sketch);

  // The setters return kInvalidArg for values the host refuses and leave them unchanged.
  host::Status setDirection(const host::Vec3& direction);
  // The direction defaults to the sketch's normal; values read back as set.
  host::Vec3 direction() const;
  host::Status setLimitType(host::LimitEnd end, int type);
  int limitType(host::LimitEnd end) const;
  host::Status setLimitLength(host::LimitEnd end, double length);
  double limitLength(host::LimitEnd end) const;

  // The sketch's revision, or 0 once the sketch is gone.
  std::uint64_t sketchRevision() const;
  // The profile moved back by the second limit, then swept over both limits. Throws
  // with a text naming `owner` when the parameters describe no solid.
  TopoDS_Shape extrude(const std::string& owner) const;

 private:
  struct Limit {
    int type = host::kLimitLength;
    double length = 0;
  };
  static std::optional<std::size_t> slot(host::LimitEnd end);
  void checkLimits(const std::string& owner) const;

  std::weak_ptr<Sketch> sketch_;
  std::optional<host::Vec3> direction_;
  std::array<Limit, 2> limits_;
};

}  // namespace occt_host
