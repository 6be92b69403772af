#include "features/topology/topo_match.h"

#include <algorithm>
#include <cmath>

#include "features/topology/topo_descriptor.h"

namespace kestrun {

namespace {

bool near(const host::Point3& a, const host::Point3& b, double tolerance) {
  return std::abs(a.x - b.x) <= tolerance && std::abs(a.y - b.y) <= tolerance &&
         std::abs(a.z - b.z) <= tolerance;
}

bool sameEnds(const host::Point3& s, const host::Point3& e, const host::Point3& a,
              const host::Point3& b, double tolerance) {
  return (near(s, a, tolerance) && near(e, b, tolerance)) ||
         (near(s, b, tolerance) && near(e, a, tolerance));
}

bool numbersPresent(const rapidjson::Value& d, std::initializer_list<const char*> keys) {
  for (const char* key : keys) {
    double unused;
    if (!numberAt(d, {key}, unused)) return false;
  }
  return true;
}

// The described end points against the edge's vertices, in either order; "startPt" and
// "endPt" are a second chance when they come with their coordinates.
bool endPointsMatch(host::Edge& edge, const rapidjson::Value& d, double tolerance,
                    bool midPointCheck, const TopoLog& warn) {
  host::Point3 a, b;
  if (!edge.vertices(a, b)) {
    warn("warning: GetVertices failed");
    return false;
  }
  host::Point3 middle;
  if (midPointCheck && pointAt(d, {"edgeCenter"}, middle)) {
    auto curve = edge.curve();
    double t0 = 0, t1 = 0, t = 0, distance = 0;
    if (!curve) {
      warn("warning: GetCurve failed for edge");
      return false;
    }
    if (!edge.vertexParameters(t0, t1) || !curve->project(middle, t, distance)) return false;
    if (std::abs(t - (t0 + t1) / 2) > tolerance) return false;
  }
  host::Point3 start, end;
  if (!pointAt(d, {"start"}, start) || !pointAt(d, {"end"}, end)) return false;
  if (sameEnds(start, end, a, b, tolerance)) return true;
  if (!d.HasMember("startPt") || !d["startPt"].IsArray() || !d.HasMember("endPt") ||
      !d["endPt"].IsArray())
    return false;
  if (!numbersPresent(d, {"x1", "y1", "z1", "x2", "y2", "z2"})) return false;
  if (!pointAt(d, {"startPt"}, start) || !pointAt(d, {"endPt"}, end)) return false;
  return sameEnds(start, end, a, b, tolerance);
}

bool onCurve(host::Curve& curve, const host::Point3& point) {
  double t = 0, distance = 0;
  return curve.project(point, t, distance) && distance <= kTopoTolerance;
}

bool circleMatches(host::Edge& edge, const rapidjson::Value& d, bool arc, const TopoLog& warn) {
  auto curve = edge.curve();
  host::Point3 centre, wantCentre;
  host::Vec3 axis, wantAxis;
  double radius = 0, wantRadius = 0;
  if (!curve || !curve->circle(centre, axis, radius)) return false;
  if (!vectorAt(d, {"vDir", "axisDir"}, wantAxis) || !pointAt(d, {"center"}, wantCentre) ||
      !numberAt(d, {"radius"}, wantRadius))
    return false;
  if (!near(centre, wantCentre, kTopoTolerance) || std::abs(radius - wantRadius) > kTopoTolerance)
    return false;
  if (!parallel(axis, wantAxis)) return false;
  if (!arc) return true;
  return endPointsMatch(edge, d, kTopoTolerance, false, warn);
}

struct EllipseWanted {
  host::Point3 centre, middle;
  host::Vec3 axis;
  double major = 0, minor = 0;
};

bool readEllipse(const rapidjson::Value& d, EllipseWanted& out) {
  return pointAt(d, {"center"}, out.centre) && vectorAt(d, {"vDir", "axisDir"}, out.axis) &&
         pointAt(d, {"edgeCenter", "midPt"}, out.middle) &&
         numberAt(d, {"rx", "majorRadius"}, out.major) &&
         numberAt(d, {"ry", "minorRadius"}, out.minor);
}

// A whole ellipse has one vertex, so no plane can be drawn through its end points and
// middle point; it is matched by its own centre, radii and axis instead.
bool ellipseMatches(host::Edge& edge, const rapidjson::Value& d, bool arc, const TopoLog& warn) {
  EllipseWanted want;
  if (!readEllipse(d, want)) return false;
  if (arc) return endPointsMatch(edge, d, kTopoTolerance, true, warn);
  auto curve = edge.curve();
  host::Point3 centre;
  host::Vec3 axis;
  double major = 0, minor = 0;
  if (!curve || !curve->ellipse(centre, axis, major, minor)) return false;
  return near(centre, want.centre, kTopoTolerance) &&
         std::abs(major - want.major) <= kTopoTolerance &&
         std::abs(minor - want.minor) <= kTopoTolerance && parallel(axis, want.axis) &&
         onCurve(*curve, want.middle);
}

bool splineMatches(host::Edge& edge, const rapidjson::Value& d, const TopoLog& warn) {
  if (endPointsMatch(edge, d, kTopoTolerance, false, warn)) return true;
  host::Point3 middle;
  auto curve = edge.curve();
  return pointAt(d, {"midPt", "edgeCenter"}, middle) && curve && onCurve(*curve, middle);
}

}  // namespace

bool parallel(const host::Vec3& a, const host::Vec3& b) {
  double la = host::norm(a), lb = host::norm(b);
  if (!(la > 0) || !(lb > 0)) return false;
  return host::norm(host::cross(a, b)) / (la * lb) <= kParallelSine;
}

bool planeMatches(host::Face& face, const rapidjson::Value& d, bool strict) {
  host::Vec3 wantNormal;
  host::Point3 point;
  if (!vectorAt(d, {"vDir", "normal", "planeNormal", "axisDir"}, wantNormal) ||
      !pointAt(d, {"loc", "pointOnFace", "center"}, point))
    return false;
  auto surface = face.surface();
  host::Point3 origin;
  host::Vec3 normal;
  if (!surface || !surface->plane(origin, normal) || !(host::norm(normal) > 0)) return false;
  if (!parallel(normal, wantNormal)) return false;
  double offset = host::dot(point - origin, normal) / host::norm(normal);
  if (!(std::abs(offset) <= kTopoTolerance)) return false;
  if (!strict) return true;
  host::Point2 uv;
  if (!surface->parametersOf(point, uv)) return false;
  host::ParamBox box = face.parameterBox(), limits = surface->limits();
  return (box.contains(uv, 0) && limits.contains(uv, 0)) ||
         (box.contains(uv, kTopoTolerance) && limits.contains(uv, kTopoTolerance));
}

bool edgeMatches(host::Edge& edge, const rapidjson::Value& d, const TopoLog& warn) {
  std::string type = stringOf(d, "type");
  if (type == "line") {
    auto curve = edge.curve();
    if (!curve || curve->kind() != host::CurveKind::Line) return false;
    return endPointsMatch(edge, d, kLineEndTolerance, false, warn);
  }
  if (type == "circle" || type == "arc") return circleMatches(edge, d, type == "arc", warn);
  if (type == "ellipse" || type == "ellipseArc")
    return ellipseMatches(edge, d, type == "ellipseArc", warn);
  if (type == "bspline" || type == "bSplineCurve") return splineMatches(edge, d, warn);
  return false;
}

// A point inside a plane face's parameter box lies within the face's box grown by the
// box's diagonal (the parameter box can be turned against the axes), so that is the
// margin; a point merely on the infinite plane gives no refusal.
BoxHint faceHint(const rapidjson::Value& d, bool strict) {
  BoxHint hint;
  if (strict && pointAt(d, {"loc", "pointOnFace", "center"}, hint.a))
    hint.kind = BoxHint::Kind::FacePoint;
  return hint;
}

// Every point of an edge, its end points included, lies in its box; a circle's or an
// ellipse's centre lies within one radius of it. The second chance of the end-point test
// ("startPt", "endPt") gives no refusal.
BoxHint edgeHint(const rapidjson::Value& d) {
  BoxHint hint;
  std::string type = stringOf(d, "type");
  if ((type == "line" || type == "arc") && !d.HasMember("startPt") &&
      pointAt(d, {"start"}, hint.a) && pointAt(d, {"end"}, hint.b)) {
    hint.kind = BoxHint::Kind::Ends;
    hint.reach = 10 * kTopoTolerance;
  } else if (type == "circle" || type == "ellipse") {
    double r = 0;
    if (pointAt(d, {"center"}, hint.a) &&
        (numberAt(d, {"radius"}, r) || numberAt(d, {"rx", "majorRadius"}, r)) && std::isfinite(r)) {
      hint.kind = BoxHint::Kind::Centre;
      hint.reach = std::abs(r) + 10 * kTopoTolerance;
    }
  }
  return hint;
}

bool mayMatch(const host::Box3& box, const BoxHint& hint) {
  if (box.empty) return true;
  switch (hint.kind) {
    case BoxHint::Kind::None:
      return true;
    case BoxHint::Kind::FacePoint:
      return box.contains(hint.a, 1.5 * host::norm(box.max - box.min) + kTopoTolerance);
    case BoxHint::Kind::Ends:
      return box.contains(hint.a, hint.reach) && box.contains(hint.b, hint.reach);
    case BoxHint::Kind::Centre:
      return box.contains(hint.a, hint.reach);
  }
  return true;
}

}  // namespace kestrun
