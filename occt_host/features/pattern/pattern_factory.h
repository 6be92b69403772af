// The factory of patterns and mirrors (stands for their creation in CATIPrtFactory).
#pragma once

#include <memory>

#include "host/pattern.h"

namespace occt_host {

class Part;

// Owned by the Part's container, which answers the interface with it.
class PatternFactory : public host::PatternFactory {
 public:
  explicit PatternFactory(Part& part) : part_(part) {}

  // Queries are answered by the container that owns this factory.
  std::shared_ptr<void> queryInterface(host::InterfaceId) override { return nullptr; }

  host::SpecObjectPtr createRectPattern(const host::SpecObjectPtr& object,
                                        const host::RectPatternParams& params) override;
  host::SpecObjectPtr createCircPattern(const host::SpecObjectPtr& object,
                                        const host::CircPatternParams& params) override;
  host::SpecObjectPtr createMirror(const host::SpecObjectPtr& plane) override;

 private:
  Part& part_;
};

}  // namespace occt_host
