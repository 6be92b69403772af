// A solid read back from a stored document: the feature history is not stored, so a body
// of a reopened Part holds its last solid as one fixed feature.
#pragma once

#include <TopoDS_Shape.hxx>

#include <string>
#include <utility>
#include <vector>

#include "host/values.h"
#include "occt_host/model/solid_feature.h"

namespace occt_host {

class StoredSolid : public SolidFeature {
 public:
  // A face and the colour the feature that made it had when the Part was stored.
  using FaceColour = std::pair<TopoDS_Shape, host::Color>;

  StoredSolid(std::string name, TopoDS_Shape shape, std::vector<FaceColour> faceColours = {})
      : SolidFeature("Solid", std::move(name)),
        shape_(std::move(shape)),
        faceColours_(std::move(faceColours)) {}

  // The coloured faces of the stored solid, so that exporters show them as they were.
  const std::vector<FaceColour>& faceColours() const { return faceColours_; }

 protected:
  TopoDS_Shape build(const TopoDS_Shape& before) override;

 private:
  TopoDS_Shape shape_;
  std::vector<FaceColour> faceColours_;
};

}  // namespace occt_host
