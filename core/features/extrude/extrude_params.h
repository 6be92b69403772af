// The fields of an extrude item and its signed limits.
#pragma once

#include <rapidjson/document.h>

#include "host/values.h"

namespace kestrun {

struct ExtrudeParams {
  double n1Height = 0;
  double n2Height = 0;
  bool contrary = false;
  bool contrary2 = true;
  host::Vec3 direction{0, 0, 1};  // normalised
  double first = 0;               // along the direction
  double second = 0;              // against it
};

// Fields of the wrong JSON type count as absent.
ExtrudeParams readExtrudeParams(const rapidjson::Value& item);

// The overshoot a cutting extrude adds to both limits, from
// MARDEL_REMOVE_EXTRUDE_OVERSHOOT_MM: unset, empty or negative gives 1; 0 or text
// that is not a number switches it off.
double removeOvershootMm();

// Grows both limits away from the profile by `overshoot` (> 0).
void applyOvershoot(ExtrudeParams& params, double overshoot);

}  // namespace kestrun
