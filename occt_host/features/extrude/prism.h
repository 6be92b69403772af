// What a pad and a pocket share: the prism parameters behind host::Prism, whose accepted
// changes put the feature out of date. Each derived feature says how its prism meets
// the solid before it.
#pragma once

#include <memory>
#include <string>

#include "features/extrude/prism_parameters.h"
#include "host/part_factory.h"
#include "occt_host/model/solid_feature.h"

namespace occt_host {

class Sketch;

// `Interface` is the feature's own host interface (host::Pad, host::Pocket).
template <class Interface>
class PrismFeature : public SolidFeature, public Interface {
 public:
  PrismFeature(std::string type, std::string name, const std::shared_ptr<Sketch>& sketch)
      : SolidFeature(std::move(type), std::move(name)), prism_(sketch) {}

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::Prism
  host::Status setDirection(const host::Vec3& direction) override {
    return changed(prism_.setDirection(direction));
  }
  host::Vec3 direction() const override { return prism_.direction(); }
  host::Status setLimitType(host::LimitEnd end, int type) override {
    return changed(prism_.setLimitType(end, type));
  }
  int limitType(host::LimitEnd end) const override { return prism_.limitType(end); }
  host::Status setLimitLength(host::LimitEnd end, double length) override {
    return changed(prism_.setLimitLength(end, length));
  }
  double limitLength(host::LimitEnd end) const override { return prism_.limitLength(end); }

 protected:
  void* findInterface(host::InterfaceId id) override {
    if (void* found = host::answerAs<Interface, host::Prism>(this, id)) return found;
    return SolidFeature::findInterface(id);
  }
  std::uint64_t inputRevision() const override { return prism_.sketchRevision(); }
  bool validFromCleanBooleans() const override { return true; }

  PrismParameters prism_;

 private:
  host::Status changed(host::Status status) {
    if (host::succeeded(status)) this->touch();
    return status;
  }
};

}  // namespace occt_host
