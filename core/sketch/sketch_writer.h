// Turns one sketch item into a host sketch: places it on its plane (absolute axes, a
// reference plane, or a plane feature made for it) and draws its geometries.
#pragma once

#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "host/sketch.h"
#include "host/values.h"
#include "partjson/writer.h"

namespace kestrun {

class SketchWriter : public Writer {
 public:
  SketchWriter() = default;
  ~SketchWriter() override;

  bool isSketchWriter() const override { return true; }
  void initFromJson(const rapidjson::Value& item) override;
  void parseJson(const rapidjson::Value& item) override;
  host::SpecObjectPtr feature() const override { return sketch_; }
  void setNeedPlaneForSketch(bool need) override { needPlaneForSketch_ = need; }
  bool hasSketch() const override { return sketch_ != nullptr; }

  bool needPlaneForSketch() const { return needPlaneForSketch_; }
  const host::SpecObjectPtr& sketch() const { return sketch_; }
  host::SpecObjectPtr sketchObject() const override { return sketch_; }
  host::SpecObjectPtr sketchSupport() const override { return supportPlane_; }
  // The reference plane or plane feature the sketch stands on; null for absolute axes.
  const host::SpecObjectPtr& supportPlane() const { return supportPlane_; }

  // 3D position of the vertex geometry `id`, mapped through the item's "matrix".
  bool vertexPoint3D(const std::string& id, host::Point3& out) const;
  // 3D centre and radius of the first circle; `radius` is set even when not found
  // because it is not positive.
  bool firstCircle3D(host::Point3& center, double& radius) const override;
  // The log lines of the geometries that were skipped or failed when the sketch was drawn.
  const std::vector<std::string>& geometryWarnings() const { return geometryWarnings_; }

 private:
  void place(const host::Plane& plane);
  void createByAbsoluteAxis(host::SketchFactory& factory, const host::Plane& plane);
  void createOnReferencePlane(host::SketchFactory* factory, const host::Plane& plane);
  void createSupportPlane(const host::Plane& plane);
  bool findSamePlane(const host::Plane& wanted);
  void addGeometries(const rapidjson::Value& item);
  void drawGeometries(const rapidjson::Value& item);
  void skipGeometries(const std::string& line);
  // The item's plane and geometries, when it has a "matrix" and a "geometries" array.
  const rapidjson::Value* geometriesForQueries(host::Plane& plane) const;
  std::string who() const;
  void keepItem(const rapidjson::Value& item);

  // The item as parsed, so that the queries outlive the caller's document.
  rapidjson::Document itemCopy_;
  const rapidjson::Value* copiedFrom_ = nullptr;
  host::SpecObjectPtr sketch_;
  host::SpecObjectPtr supportPlane_;
  bool needPlaneForSketch_ = false;
  std::vector<std::string> geometryWarnings_;
};

}  // namespace kestrun
