// A mirror (stands for the original's mirror feature): the body's solid before it, or the
// contributions of the objects added to it, reflected in a plane and joined to the solid.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/pattern.h"
#include "occt_host/model/solid_feature.h"

namespace occt_host {

class MirrorFeature : public SolidFeature, public host::Mirror {
 public:
  MirrorFeature(std::string name, const host::SpecObjectPtr& plane);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::Mirror: refuses null and the mirror itself.
  host::Status addMirrorObject(const host::SpecObjectPtr& object) override;

 protected:
  void* findInterface(host::InterfaceId id) override;
  TopoDS_Shape build(const TopoDS_Shape& before) override;
  bool validFromCleanBooleans() const override { return true; }

 private:
  gp_Trsf reflection() const;

  std::weak_ptr<host::SpecObject> plane_;
  std::vector<std::weak_ptr<host::SpecObject>> objects_;
};

// Whether `plane` answers a plane: what the factory asks before it makes a mirror.
bool hasPlane(const host::SpecObjectPtr& plane);

}  // namespace occt_host
