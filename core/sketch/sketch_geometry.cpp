#include "sketch/sketch_geometry.h"

#include <cmath>
#include <string>

#include "features/writer/update_service.h"
#include "log/core_log.h"
#include "sketch/sketch_json.h"

namespace kestrun {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;
constexpr double kVertexRadius = 0.01;
constexpr int kDefaultDegree = 3;
constexpr int kQuinticDegree = 5;
// Smaller radii cannot be told apart from a point by the kernel.
constexpr double kMinRadius = 1e-6;

// Centre from "center" when it has numbers "x" and "y", else from "cx" and "cy".
bool readCenter(const rapidjson::Value& g, host::Point2& out) {
  if (pointMember(g, "center", out)) return true;
  host::Point2 p;
  if (!numberMember(g, "cx", p.x) || !numberMember(g, "cy", p.y)) return false;
  out = p;
  return true;
}

// A positive radius too small to draw is refused with its own text; zero and negative
// radii are left to the host, which refuses them too.
bool tooSmall(double radius, const char* type) {
  if (!(radius > 0 && radius < kMinRadius)) return false;
  logErr(std::string("error: ") + type + " geometry radius below 1e-6 mm");
  return true;
}

// The direction of the larger radius: "angle", turned a quarter when ry is larger.
double majorAngle(double rx, double ry, double angle) {
  return rx >= ry ? angle : angle + kPi / 2;
}

}  // namespace

double reduceAngle(double angle) {
  double r = std::fmod(angle, kTwoPi);
  if (r < 0) r += kTwoPi;
  return r >= kTwoPi ? 0 : r;  // -tiny + 2π rounds to 2π
}

AngleRange orderBySweep(double a, double b, bool sweep) {
  if (!sweep) return {a, a >= b ? b + kTwoPi : b};
  return a <= b ? AngleRange{b, a + kTwoPi} : AngleRange{b, a};
}

// With u along θ and v across it, a point of the host's ellipse is major·cos t, minor·sin t.
double ellipseParameter(const host::Point2& c, const host::Point2& p, double theta, double rx,
                        double ry) {
  double dx = p.x - c.x, dy = p.y - c.y;
  double u = dy * std::sin(theta) + dx * std::cos(theta);
  double v = dy * std::cos(theta) - dx * std::sin(theta);
  double major = std::fmax(rx, ry), minor = std::fmin(rx, ry);
  return reduceAngle(std::atan2(v * major, u * minor));
}

void SketchGeometry::add(const rapidjson::Value& g) {
  const rapidjson::Value* typeValue = member(g, "type");
  if (!typeValue || !typeValue->IsString()) {
    skip("error: geometry without string type");
    return;
  }
  std::string type(typeValue->GetString(), typeValue->GetStringLength());
  if (verbosity_ >= 5) logOut("debug: crvType = " + type);
  if (type == "line") return addLine(g);
  if (type == "circle") return addCircle(g);
  if (type == "arc") return addArc(g);
  if (type == "ellipse") return addEllipse(g);
  if (type == "ellipseArc") return addEllipseArc(g);
  if (type == "spline") return addSpline(g);
  if (type == "vertex") return addVertex(g);
  skip("unsupported geometry type: " + type);
}

void SketchGeometry::addLine(const rapidjson::Value& g) {
  host::Point2 from, to;
  if (!numberMember(g, "x1", from.x) || !numberMember(g, "y1", from.y) ||
      !numberMember(g, "x2", to.x) || !numberMember(g, "y2", to.y)) {
    skip("error: line geometry missing x1/y1/x2/y2");
    return;
  }
  host::Geometry2DPtr line = factory_->createLine(from, to);
  if (!line) {
    skip("error: line geometry creation failed");
    return;
  }
  updateWithEnds(line);
}

void SketchGeometry::addCircle(const rapidjson::Value& g) {
  host::Point2 center;
  if (!readCenter(g, center)) {
    skip("error: circle geometry missing center or cx/cy");
    return;
  }
  double radius = 0;
  if (!numberMember(g, "radius", radius)) {
    skip("error: circle geometry missing radius");
    return;
  }
  if (tooSmall(radius, "circle")) return;
  factory_->createPoint(center);
  if (!factory_->createCircle(center, radius)) skip("error: circle geometry creation failed");
}

void SketchGeometry::addArc(const rapidjson::Value& g) {
  host::Point2 c, s, e;
  double radius = 0;
  bool sweep = false;
  if (!pointMember(g, "center", c) || !pointMember(g, "start", s) || !pointMember(g, "end", e) ||
      !numberMember(g, "radius", radius) || !boolMember(g, "sweep", sweep)) {
    skip("error: arc geometry missing center/start/end/radius/sweep");
    return;
  }
  if (tooSmall(radius, "arc")) return;
  double a = reduceAngle(std::atan2(s.y - c.y, s.x - c.x));
  double b = reduceAngle(std::atan2(e.y - c.y, e.x - c.x));
  AngleRange range = orderBySweep(a, b, sweep);
  factory_->createPoint(c);
  host::Geometry2DPtr arc = factory_->createCircleArc(c, radius, range.start, range.end);
  if (!arc) {
    skip("error: arc geometry creation failed");
    return;
  }
  updateWithEnds(arc);
}

void SketchGeometry::addEllipse(const rapidjson::Value& g) {
  host::Point2 center;
  if (!readCenter(g, center)) {
    skipOnStdout("error: ellipse geometry missing center or cx/cy");
    return;
  }
  double rx = 0, ry = 0, angle = 0;
  if (!numberMember(g, "rx", rx) || !numberMember(g, "ry", ry) ||
      !numberMember(g, "angle", angle)) {
    skipOnStdout("error: ellipse geometry missing rx/ry/angle");
    return;
  }
  if (tooSmall(rx, "ellipse") || tooSmall(ry, "ellipse")) return;
  double theta = majorAngle(rx, ry, angle);
  factory_->createPoint(center);
  if (!factory_->createEllipse(center, {std::cos(theta), std::sin(theta)}, rx, ry))
    skipOnStdout("error: ellipse geometry creation failed");
}

void SketchGeometry::addEllipseArc(const rapidjson::Value& g) {
  host::Point2 c, s, e;
  double rx = 0, ry = 0, angle = 0;
  bool sweep = false;
  if (!pointMember(g, "center", c) || !pointMember(g, "start", s) || !pointMember(g, "end", e) ||
      !boolMember(g, "sweep", sweep) || !numberMember(g, "rx", rx) || !numberMember(g, "ry", ry) ||
      !numberMember(g, "angle", angle)) {
    skipOnStdout("error: ellipseArc geometry missing center/start/end/sweep/rx/ry/angle");
    return;
  }
  if (tooSmall(rx, "ellipseArc") || tooSmall(ry, "ellipseArc")) return;
  double theta = majorAngle(rx, ry, angle);
  AngleRange range = orderBySweep(ellipseParameter(c, s, theta, rx, ry),
                                  ellipseParameter(c, e, theta, rx, ry), sweep);
  host::Geometry2DPtr arc = factory_->createEllipseArc(c, {std::cos(theta), std::sin(theta)}, rx,
                                                       ry, range.start, range.end);
  if (!arc) {
    skipOnStdout("error: ellipseArc geometry creation failed");
    return;
  }
  updateWithEnds(arc);
}

void SketchGeometry::addSpline(const rapidjson::Value& g) {
  const rapidjson::Value* degreeValue = member(g, "degree");
  int degree = degreeValue && degreeValue->IsInt() ? degreeValue->GetInt() : kDefaultDegree;
  const rapidjson::Value* list = splinePointList(g);
  if (degree != kDefaultDegree && degree != kQuinticDegree) {
    skip("error: spline degree not supported: " + std::to_string(degree));
    return;
  }
  std::vector<host::Geometry2DPtr> points;
  if (!collectSplinePoints(list, points)) return;
  host::Geometry2DPtr spline = degree == kQuinticDegree ? factory_->createQuinticSpline(points, 0)
                                                        : factory_->createSpline(points, 0);
  if (!spline) {
    skip("error: spline geometry creation failed");
    return;
  }
  auto curve = host::query<host::Curve2D>(spline);
  int closure = curve ? curve->closure() : 0;
  if (verbosity_ >= 3) logOut("debug: GetClosure = " + std::to_string(closure));
  moveSplineEnds(g, *list, spline);
}

// "fitPoints" when it is an array, else "controlPoints"; null when neither member exists.
const rapidjson::Value* SketchGeometry::splinePointList(const rapidjson::Value& g) const {
  const char* key = "fitPoints";
  const rapidjson::Value* list = member(g, key);
  if (!list || !list->IsArray()) {
    key = "controlPoints";
    logOut(std::string("warn: ------") + "fitPoints" + " empty, use " + key);
    list = member(g, key);
  }
  if (verbosity_ >= 3) {
    std::size_t size = list && list->IsArray() ? list->Size() : 0;
    const rapidjson::Value* splineType = member(g, "splineType");
    std::string typeText = splineType && splineType->IsString() ? splineType->GetString() : "";
    logOut("debug: splineType = " + typeText + ", use " + key + ", size = " + std::to_string(size));
  }
  return list;
}

bool SketchGeometry::collectSplinePoints(const rapidjson::Value* list,
                                         std::vector<host::Geometry2DPtr>& out) {
  if (!list || !list->IsArray() || list->Empty() || list->Size() > kMaxSplinePoints) {
    skip("error: spline geometry needs 1 to " + std::to_string(kMaxSplinePoints) + " points");
    return false;
  }
  std::vector<host::Point2> at;
  for (const rapidjson::Value& element : list->GetArray()) {
    host::Point2 p;
    if (!pointValue(element, p)) {
      skip("error: spline geometry point missing x/y");
      return false;
    }
    at.push_back(p);
  }
  for (const host::Point2& p : at) out.push_back(factory_->createPoint(p));
  return true;
}

// An open spline's ends move to "start" and "end" when those differ from its first and
// last points; a closed one keeps its ends.
void SketchGeometry::moveSplineEnds(const rapidjson::Value& g, const rapidjson::Value& list,
                                    const host::Geometry2DPtr& spline) {
  const rapidjson::Value& first = list[0];
  const rapidjson::Value& last = list[list.Size() - 1];
  if (samePoint(first, last)) return;
  auto curve = host::query<host::Curve2D>(spline);
  struct End {
    const char* key;
    const rapidjson::Value& listed;
    bool start;
  };
  for (const End& end : {End{"start", first, true}, End{"end", last, false}}) {
    const rapidjson::Value* wanted = member(g, end.key);
    if (!wanted || !wanted->IsObject() || samePoint(*wanted, end.listed)) continue;
    host::Point2 at;
    bool moved = curve && pointValue(*wanted, at) &&
                 host::succeeded(end.start ? curve->setStartPoint(at) : curve->setEndPoint(at));
    const char* what = end.start ? "SetStartPoint" : "SetEndPoint";
    if (!moved) {
      skipOnStdout(std::string("error: ") + what + " failed\n");
    } else if (verbosity_ >= 3) {
      logOut(std::string("debug: ") + what + "\n");
    }
  }
}

void SketchGeometry::addVertex(const rapidjson::Value& g) {
  host::Point2 at;
  if (!numberMember(g, "x", at.x) || !numberMember(g, "y", at.y)) {
    if (!pointMember(g, "position", at)) {
      skipOnStdout("error: vertex geometry missing x/y or position");
      return;
    }
  }
  host::Geometry2DPtr point = factory_->createPoint(at);
  factory_->createCircle(at, kVertexRadius);
  update(point);
}

void SketchGeometry::updateWithEnds(const host::Geometry2DPtr& element) {
  update(element);
  auto curve = host::query<host::Curve2D>(element);
  if (!curve) return;
  update(curve->startPoint());
  update(curve->endPoint());
}

void SketchGeometry::update(const host::Geometry2DPtr& element) {
  if (auto object = host::query<host::SpecObject>(element)) updateFeature(object);
}

void SketchGeometry::skip(const std::string& line) {
  logErr(line);
  skipped_.push_back(line);
}

void SketchGeometry::skipOnStdout(const std::string& line) {
  logOut(line);
  skipped_.push_back(line);
}

}  // namespace kestrun
