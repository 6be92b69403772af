#include "occt_host/pad.h"

#include "occt_host/boolean_ops.h"

namespace occt_host {

Pad::Pad(std::string name, const std::shared_ptr<Sketch>& sketch)
    : SolidFeature("Pad", std::move(name)), prism_(sketch) {}

// An accepted parameter puts the pad out of date.
host::Status Pad::changed(host::Status status) {
  if (host::succeeded(status)) touch();
  return status;
}

host::Status Pad::setDirection(const host::Vec3& direction) {
  return changed(prism_.setDirection(direction));
}

host::Vec3 Pad::direction() const {
  return prism_.direction();
}

host::Status Pad::setLimitType(host::LimitEnd end, int type) {
  return changed(prism_.setLimitType(end, type));
}

int Pad::limitType(host::LimitEnd end) const {
  return prism_.limitType(end);
}

host::Status Pad::setLimitLength(host::LimitEnd end, double length) {
  return changed(prism_.setLimitLength(end, length));
}

double Pad::limitLength(host::LimitEnd end) const {
  return prism_.limitLength(end);
}

void* Pad::findInterface(host::InterfaceId id) {
  if (void* found = host::answerAs<host::Pad, host::Prism>(this, id)) return found;
  return SolidFeature::findInterface(id);
}

TopoDS_Shape Pad::build(const TopoDS_Shape& before) {
  TopoDS_Shape prism = prism_.extrude(name());
  if (before.IsNull()) return prism;
  FeatureHistory history;
  TopoDS_Shape fused = booleans::fuse(before, prism, name(), &history.history);
  publishHistory(std::move(history));
  return fused;
}

}  // namespace occt_host
