// The shape of a hole: its parameters, the half-profile they describe in the plane
// through the axis, and the solid of revolution that the hole cuts away.
#pragma once

#include <TopoDS_Shape.hxx>
#include <gp_Dir.hxx>
#include <gp_Pnt.hxx>

#include <string>
#include <vector>

#include "host/hole_features.h"

namespace occt_host {

// Lengths in millimetres, angles in degrees. Every angle is a full included angle.
struct HoleShape {
  int type = host::kHoleSimple;
  double diameter = 10;
  // From the support along the axis to where the full-diameter wall ends; a V bottom's
  // cone lies beyond it, a counterbore's depth inside it.
  double depth = 10;
  int bottomType = host::kHoleBottomFlat;
  double bottomAngle = 118;
  // The wall narrows from `diameter` at the support at this angle.
  double taperAngle = 0;
  double counterboreDiameter = 0, counterboreDepth = 0;
  // The countersink's diameter at the support and the angle of its cone.
  double countersinkDiameter = 0, countersinkAngle = 90;
};

// A point of the half-profile: its distance from the axis and its depth below the support.
struct ProfilePoint {
  double radius = 0, depth = 0;
};

// From the axis at the support, round the wall, to the axis at the bottom. Throws with
// a text that names `owner` when the parameters describe no hole.
std::vector<ProfilePoint> halfProfile(const HoleShape& shape, const std::string& owner);

// The half-profile revolved about the axis through `origin` along `direction` (into the
// material): the solid a hole cuts away.
TopoDS_Shape revolvedHole(const HoleShape& shape, const gp_Pnt& origin, const gp_Dir& direction,
                          const std::string& owner);

}  // namespace occt_host
