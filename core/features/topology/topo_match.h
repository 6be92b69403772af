// The geometric tests that decide whether a face or an edge of a solid is the one a
// topology descriptor describes.
#pragma once

#include <functional>
#include <string>

#include <rapidjson/document.h>

#include "host/topology.h"

namespace kestrun {

// Positions and radii.
constexpr double kTopoTolerance = 0.001;
// End points of line edges.
constexpr double kLineEndTolerance = 1e-6;
// Two directions are parallel (either sense) when the sine of their angle is below this.
constexpr double kParallelSine = 1e-4;

bool parallel(const host::Vec3& a, const host::Vec3& b);

// Where the tests write their warnings.
using TopoLog = std::function<void(const std::string&)>;

// A plane descriptor against a face: the face lies on the described plane and, when
// strict, the described point lies within the face's parameter box and its surface.
bool planeMatches(host::Face& face, const rapidjson::Value& descriptor, bool strict);

// An edge descriptor of any edge kind against an edge.
bool edgeMatches(host::Edge& edge, const rapidjson::Value& descriptor, const TopoLog& warn);

// What the box refusals need of a descriptor, read once per search.
struct BoxHint {
  enum class Kind { None, FacePoint, Ends, Centre };
  Kind kind = Kind::None;
  host::Point3 a, b;
  double reach = 0;
};
BoxHint faceHint(const rapidjson::Value& descriptor, bool strict);
BoxHint edgeHint(const rapidjson::Value& descriptor);

// Cheap refusals from the cached boxes: false only when the face or edge cannot match.
bool mayMatch(const host::Box3& box, const BoxHint& hint);

}  // namespace kestrun
