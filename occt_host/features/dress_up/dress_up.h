// Common ground of fillets, chamfers, shells and drafts: a solid feature that modifies the
// body's solid before it at faces or edges given as feature-level references.
#pragma once

#include <string>
#include <vector>

#include "host/spec_object.h"
#include "occt_host/model/solid_feature.h"

namespace occt_host {

class DressUpFeature : public SolidFeature {
 public:
  DressUpFeature(std::string type, std::string name, host::SpecObjectList references);

 protected:
  // The references as they stand on the solid this feature starts from; throws with a
  // text naming any that is gone.
  std::vector<TopoDS_Shape> resolved();
  // The solid feature this one starts from; throws when there is none.
  SolidFeature& featureBefore();
  // Throws unless `before` holds a solid to work on.
  void needSolid(const TopoDS_Shape& before) const;

 private:
  host::SpecObjectList references_;
};

}  // namespace occt_host
