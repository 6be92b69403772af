// The factory of holes (stands for the hole creation of CATIPrtFactory).
#pragma once

#include <memory>

#include "host/hole_features.h"

namespace occt_host {

class Part;

// Owned by the Part's container, which answers the interface with it.
class HoleFactory : public host::HoleFactory {
 public:
  explicit HoleFactory(Part& part) : part_(part) {}

  // Queries are answered by the container that owns this factory.
  std::shared_ptr<void> queryInterface(host::InterfaceId) override { return nullptr; }

  host::SpecObjectPtr createHole(const host::Point3& point, const host::SpecObjectPtr& support,
                                 const host::SpecObjectPtr& direction) override;

 private:
  Part& part_;
};

}  // namespace occt_host
