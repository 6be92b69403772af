// Cuts a cylinder out of a target body: a body of its own holding a circle sketch and
// a pad, removed from the target by a boolean. Shared by through-bores and holes.
#pragma once

#include <string>

#include "features/writer/feature_writer.h"
#include "host/values.h"

namespace kestrun {

struct CylinderCut {
  host::SpecObjectPtr target;  // the feature (or body) to cut
  host::SpecObjectPtr tool;    // the target's body
  host::Point3 point;          // the cylinder's centre
  host::Vec3 direction;        // its axis
  double diameter = 0;
  double halfLength = 0;
  std::string name;
  bool atTarget = false;  // right after the target, not after the last feature of its body
};

// The cut as the writer holds it afterwards: the boolean that removed the cylinder, with
// its status. Nothing (no feature, status ok) when the cutter could not start: no frame
// for the direction, or a factory missing. The caller sets the outcome's finish.
FeatureOutcome simpleHoleCutter(FeatureWriter& writer, const CylinderCut& cut);

}  // namespace kestrun
