// The factories of shafts, lofts and ribs, and of points on a plane given by length
// parameters (for loft closing points).
#pragma once

#include <memory>

#include "host/sweep_features.h"

namespace occt_host {

class Part;

// Owned by the Part's container, which answers these interfaces with it.
class SweepFactory : public host::SweepFactory, public host::PlanePointFactory {
 public:
  explicit SweepFactory(Part& part) : part_(part) {}

  // Queries are answered by the container that owns this factory.
  std::shared_ptr<void> queryInterface(host::InterfaceId) override { return nullptr; }

  // Sketches must belong to this Part; the feature goes after the current feature.
  host::SpecObjectPtr createShaft(const host::SpecObjectPtr& sketch) override;
  host::SpecObjectPtr createLoft() override;
  host::SpecObjectPtr createRib(const host::SpecObjectPtr& profile,
                                const host::SpecObjectPtr& path) override;
  host::SpecObjectPtr createPointOnPlane(const host::SpecObjectPtr& plane,
                                         const host::SpecObjectPtr& x,
                                         const host::SpecObjectPtr& y) override;

 private:
  Part& part_;
};

}  // namespace occt_host
