// The factories of a Part's wireframe and structure: points, lines, planes, bodies,
// geometrical sets and length parameters.
#pragma once

#include <memory>
#include <string>

#include "host/wireframe.h"

namespace occt_host {

class Part;

// Owned by the Part's container, which answers these interfaces with it.
class StructureFactory : public host::WireframeFactory,
                         public host::BodyFactory,
                         public host::ParameterFactory {
 public:
  explicit StructureFactory(Part& part) : part_(part) {}

  // Queries are answered by the container that owns this factory.
  std::shared_ptr<void> queryInterface(host::InterfaceId) override { return nullptr; }

  host::SpecObjectPtr createPoint(const host::Point3& at) override;
  host::SpecObjectPtr createLine(const host::SpecObjectPtr& from,
                                 const host::SpecObjectPtr& to) override;
  host::SpecObjectPtr createPlane(const host::Plane& plane) override;
  host::SpecObjectPtr createBody(const std::string& name) override;
  host::SpecObjectPtr createGeometricalSet(const std::string& name, bool ordered) override;
  host::SpecObjectPtr createLength(const std::string& name, double metres) override;

 private:
  Part& part_;
};

}  // namespace occt_host
