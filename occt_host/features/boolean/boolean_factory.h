// The factory of boolean features (stands for CATIPrtBooleanFactory). A boolean goes
// into the body of the operated object, right after it (at the body's end when the
// operated object is the body), and aggregates the tool's body.
#pragma once

#include <memory>

#include "features/boolean/boolean.h"
#include "host/part_factory.h"

namespace occt_host {

class Part;

// Owned by the Part's container, which answers the interface with it.
class BooleanFactory : public host::BooleanFactory {
 public:
  explicit BooleanFactory(Part& part) : part_(part) {}

  // Queries are answered by the container that owns this factory.
  std::shared_ptr<void> queryInterface(host::InterfaceId) override { return nullptr; }

  host::SpecObjectPtr createAdd(const host::SpecObjectPtr& operated,
                                const host::SpecObjectPtr& tool) override;
  host::SpecObjectPtr createRemove(const host::SpecObjectPtr& operated,
                                   const host::SpecObjectPtr& tool) override;
  host::SpecObjectPtr createIntersect(const host::SpecObjectPtr& operated,
                                      const host::SpecObjectPtr& tool) override;

 private:
  host::SpecObjectPtr create(BooleanFeature::Kind kind, const host::SpecObjectPtr& operated,
                             const host::SpecObjectPtr& tool) noexcept;

  Part& part_;
};

}  // namespace occt_host
