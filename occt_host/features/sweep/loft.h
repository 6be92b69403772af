// A loft (stands for the part design loft used through CATIGSMLoft): a smooth solid
// through the closed contours of its section sketches, in order, fused into the body's
// solid. A section's closing point says where its contour starts, so that sections with
// matched points do not twist.
#pragma once

#include <TopoDS_Wire.hxx>

#include <memory>
#include <string>
#include <vector>

#include "host/sweep_features.h"
#include "occt_host/model/solid_feature.h"

namespace occt_host {

class Sketch;

class Loft : public SolidFeature, public host::Loft {
 public:
  explicit Loft(std::string name);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::Loft: a section is a sketch of this Part; a closing point answers PointGeometry.
  host::Status addSection(const host::SpecObjectPtr& sketch, int orientation,
                          const host::SpecObjectPtr& closingPoint) override;
  host::Status setSectionPoint(int position, const host::SpecObjectPtr& point) override;
  int sectionCount() const override { return static_cast<int>(sections_.size()); }

 protected:
  void* findInterface(host::InterfaceId id) override;
  TopoDS_Shape build(const TopoDS_Shape& before) override;
  std::uint64_t inputRevision() const override;

 private:
  struct Section {
    std::weak_ptr<Sketch> sketch;
    int orientation = 1;
    host::SpecObjectPtr point;
  };
  TopoDS_Wire sectionWire(const Section& section, std::size_t index) const;
  void checkSeparated() const;

  std::vector<Section> sections_;
};

// `wire` starting at the vertex nearest `point`; a wire of one closed curve is
// re-seamed at the point's projection on the curve instead.
TopoDS_Wire startNearest(const TopoDS_Wire& wire, const gp_Pnt& point);

}  // namespace occt_host
