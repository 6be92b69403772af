// The measured volume of what a body or a Part holds, for reports on what an import built.
#pragma once

#include "host/unknown.h"

namespace host {

// Answered by bodies (their current solid) and by the Part (the solids of all its bodies).
class SolidVolume : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.SolidVolume";
  // The volume in mm^3; false when there is no solid to measure (or it cannot be computed).
  virtual bool volume(double& mm3) = 0;
};

}  // namespace host
