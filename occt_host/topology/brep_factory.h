// The Part's topology access (stands for the BRep access factory): owned by the Part's
// container, which answers its interface.
#pragma once

#include <memory>

#include "host/topology.h"

namespace occt_host {

class BRepFactory : public host::BRepFactory {
 public:
  // Queries are answered by the container that owns this factory.
  std::shared_ptr<void> queryInterface(host::InterfaceId) override { return nullptr; }

  host::SpecObjectPtr featurize(const std::shared_ptr<host::Unknown>& cell) override {
    auto featurize = host::query<host::Featurize>(cell);
    return featurize ? featurize->featurize() : nullptr;
  }
};

}  // namespace occt_host
