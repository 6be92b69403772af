#include "occt_host/pocket.h"

#include <stdexcept>

#include "occt_host/boolean_ops.h"

namespace occt_host {

Pocket::Pocket(std::string name, const std::shared_ptr<Sketch>& sketch)
    : SolidFeature("Pocket", std::move(name)), prism_(sketch) {}

// An accepted parameter puts the pocket out of date.
host::Status Pocket::changed(host::Status status) {
  if (host::succeeded(status)) touch();
  return status;
}

host::Status Pocket::setDirection(const host::Vec3& direction) {
  return changed(prism_.setDirection(direction));
}

host::Vec3 Pocket::direction() const {
  return prism_.direction();
}

host::Status Pocket::setLimitType(host::LimitEnd end, int type) {
  return changed(prism_.setLimitType(end, type));
}

int Pocket::limitType(host::LimitEnd end) const {
  return prism_.limitType(end);
}

host::Status Pocket::setLimitLength(host::LimitEnd end, double length) {
  return changed(prism_.setLimitLength(end, length));
}

double Pocket::limitLength(host::LimitEnd end) const {
  return prism_.limitLength(end);
}

void* Pocket::findInterface(host::InterfaceId id) {
  if (void* found = host::answerAs<host::Pocket, host::Prism>(this, id)) return found;
  return SolidFeature::findInterface(id);
}

TopoDS_Shape Pocket::build(const TopoDS_Shape& before) {
  TopoDS_Shape prism = prism_.extrude(name());
  if (before.IsNull())
    throw std::runtime_error(name() + ": the body has no solid before it to cut");
  FeatureHistory history;
  TopoDS_Shape cut = booleans::cut(before, {prism}, name(), &history.history);
  publishHistory(std::move(history));
  return cut;
}

}  // namespace occt_host
