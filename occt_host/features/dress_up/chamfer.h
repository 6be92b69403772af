// A chamfer of edges by two lengths or by a length and an angle (stands for CATIChamfer).
#pragma once

#include "features/dress_up/dress_up.h"
#include "host/dress_up.h"

namespace occt_host {

class ChamferFeature : public DressUpFeature, public host::Chamfer {
 public:
  ChamferFeature(std::string name, host::SpecObjectList edges, host::ChamferMode mode, double first,
                 double second, int orientation);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::Chamfer
  double length1() const override;
  double length2() const override;

 protected:
  void* findInterface(host::InterfaceId id) override;
  TopoDS_Shape build(const TopoDS_Shape& before) override;

 private:
  host::ChamferMode mode_;
  double first_, second_;
  int orientation_;
};

}  // namespace occt_host
