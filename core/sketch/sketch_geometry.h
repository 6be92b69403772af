// Draws a sketch item's "geometries" into an open sketch: lines, circles, arcs,
// ellipses, elliptical arcs, splines and vertices, in the sketch's 2D coordinates.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "host/sketch.h"

namespace kestrun {

// The angle reduced into [0, 2π).
double reduceAngle(double angle);

// Start and end (end > start) of an arc whose ends sit at angles `a` and `b` (both in
// [0, 2π)): counter-clockwise from a to b, or with `sweep` the other way round, which the
// host draws counter-clockwise from b to a.
struct AngleRange {
  double start = 0, end = 0;
};
AngleRange orderBySweep(double a, double b, bool sweep);

// The host's parameter, reduced into [0, 2π), of point `p` on the ellipse around `c`
// with radii `rx` (along θ) and `ry` (across it), where θ is the direction of the larger
// radius.
double ellipseParameter(const host::Point2& c, const host::Point2& p, double theta, double rx,
                        double ry);

class SketchGeometry {
 public:
  // Sketches holding more geometries than this are drawn empty, and splines listing more
  // points are skipped: neither a CAD user nor the kernel can use them.
  static constexpr std::size_t kMaxGeometries = 100000;
  static constexpr std::size_t kMaxSplinePoints = 10000;

  SketchGeometry(std::shared_ptr<host::Factory2D> factory, int verbosity)
      : factory_(std::move(factory)), verbosity_(verbosity) {}

  // One element of "geometries"; anything malformed is logged and skipped.
  void add(const rapidjson::Value& geometry);
  // The log lines of what was skipped or failed, in order.
  const std::vector<std::string>& skipped() const { return skipped_; }

 private:
  void addLine(const rapidjson::Value& g);
  void addCircle(const rapidjson::Value& g);
  void addArc(const rapidjson::Value& g);
  void addEllipse(const rapidjson::Value& g);
  void addEllipseArc(const rapidjson::Value& g);
  void addSpline(const rapidjson::Value& g);
  void addVertex(const rapidjson::Value& g);

  const rapidjson::Value* splinePointList(const rapidjson::Value& g) const;
  bool collectSplinePoints(const rapidjson::Value* list, std::vector<host::Geometry2DPtr>& out);
  void moveSplineEnds(const rapidjson::Value& g, const rapidjson::Value& list,
                      const host::Geometry2DPtr& spline);
  // Updates the element and, for a curve, its two end points.
  static void updateWithEnds(const host::Geometry2DPtr& element);
  static void update(const host::Geometry2DPtr& element);

  // Logs the line to standard error (skipOnStdout: output) and keeps it.
  void skip(const std::string& line);
  void skipOnStdout(const std::string& line);

  std::shared_ptr<host::Factory2D> factory_;
  int verbosity_;
  std::vector<std::string> skipped_;
};

}  // namespace kestrun
