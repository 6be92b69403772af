#include "sketch/sketch_writer.h"

#include <exception>
#include <sstream>

#include "features/writer/update_service.h"
#include "features/writer/writer_services.h"
#include "log/core_log.h"
#include "partjson/build_order.h"
#include "sketch/plane_math.h"
#include "sketch/sketch_geometry.h"
#include "sketch/sketch_json.h"

namespace kestrun {

namespace {

std::string triple(const host::Vec3& v) {
  std::ostringstream text;
  text << "(" << v.x << ", " << v.y << ", " << v.z << ")";
  return text.str();
}

std::string flag(bool value) {
  return value ? "1" : "0";
}

host::Point3 onPlane(const host::Plane& plane, const host::Point2& p) {
  return plane.origin + plane.u * p.x + plane.v * p.y;
}

}  // namespace

SketchWriter::~SketchWriter() {
  if (shared_.verbosity >= 6) logOut("debug: SketchWriter destructed");
}

void SketchWriter::initFromJson(const rapidjson::Value& item) {
  try {
    Writer::initFromJson(item);
    keepItem(item);
  } catch (...) {
    logErr("error: exception occurred while reading sketch" + who());
    status_ = host::kFail;
  }
}

void SketchWriter::keepItem(const rapidjson::Value& item) {
  if (&item == copiedFrom_) return;
  rapidjson::Document copy;
  copy.CopyFrom(item, copy.GetAllocator());
  itemCopy_.Swap(copy);
  copiedFrom_ = &item;
}

std::string SketchWriter::who() const {
  return ", name = " + name_ + ", id = " + id_;
}

void SketchWriter::parseJson(const rapidjson::Value& item) {
  try {
    keepItem(item);
    if (shared_.verbosity >= 3) logOut("debug: parseJson sketch begin" + who());
    host::Plane plane = parseMatrix(member(item, "matrix"));
    if (shared_.verbosity >= 3) {
      logOut("debug: parseJson sketch matrix parsed" + who() +
             ", needPlaneForSketch = " + flag(needPlaneForSketch_));
    }
    place(plane);
    if (!sketch_) {
      logErr("CreateSketch 失败");
      // An item that made nothing is a failure, not a success that features later miss.
      status_ = host::kFail;
      return;
    }
    addGeometries(item);
    setAlias(sketch_, name_);
    if (shared_.verbosity >= 3) logOut("debug: parseJson sketch end" + who());
  } catch (const std::exception& e) {
    logErr(std::string("error: exception occurred while parsing sketch, ") + e.what() + who());
    status_ = host::kFail;
  } catch (...) {
    logErr("error: exception occurred while parsing sketch" + who());
    status_ = host::kFail;
  }
}

void SketchWriter::place(const host::Plane& plane) {
  auto factory = host::query<host::SketchFactory>(shared_.container);
  if (!needPlaneForSketch_ && factory) createByAbsoluteAxis(*factory, plane);
  if (!needPlaneForSketch_ && !factory) needPlaneForSketch_ = true;
  if (needPlaneForSketch_) createOnReferencePlane(factory.get(), plane);
}

void SketchWriter::createByAbsoluteAxis(host::SketchFactory& factory, const host::Plane& plane) {
  if (shared_.verbosity >= 3) {
    logOut("debug: CreateSketch by absolute axis begin, origin = " + triple(plane.origin) +
           ", h = " + triple(plane.u) + ", v = " + triple(plane.v));
  }
  sketch_ =
      inBuildOrder(shared_, [&] { return factory.createSketch(plane.origin, plane.u, plane.v); });
  if (shared_.verbosity >= 3) {
    logOut("debug: CreateSketch by absolute axis end, isNull = " + flag(!sketch_));
  }
  if (!sketch_) needPlaneForSketch_ = true;
}

void SketchWriter::createOnReferencePlane(host::SketchFactory* factory, const host::Plane& plane) {
  if (!findSamePlane(plane)) createSupportPlane(plane);
  if (!supportPlane_) {
    logErr("error: use xy plane");
    host::SpecObjectList planes =
        shared_.part ? shared_.part->referencePlanes() : host::SpecObjectList{};
    if (!planes.empty()) supportPlane_ = planes.front();
  }
  if (shared_.verbosity >= 3) {
    logOut("debug: CreateSketch by reference plane begin, isPlaneNull = " + flag(!supportPlane_));
  }
  if (factory && supportPlane_)
    sketch_ = inBuildOrder(shared_, [&] { return factory->createSketchOnPlane(supportPlane_); });
  if (shared_.verbosity >= 3) {
    logOut("debug: CreateSketch by reference plane end, isNull = " + flag(!sketch_));
  }
}

void SketchWriter::createSupportPlane(const host::Plane& plane) {
  supportPlane_ = createPlaneFeature(shared_, plane);
  if (!supportPlane_) return;
  const std::string planeName = name_ + "_plane";
  saveRefObj(shared_, supportPlane_, kRefObjGeometricalSet, planeName);
  setAlias(supportPlane_, planeName);
}

bool SketchWriter::findSamePlane(const host::Plane& wanted) {
  host::Plane existing;
  if (supportPlane_ && GetMathPlaneFromSpec(supportPlane_, existing) &&
      IsSamePlane(existing, wanted)) {
    return true;
  }
  host::SpecObjectList planes =
      shared_.part ? shared_.part->referencePlanes() : host::SpecObjectList{};
  if (shared_.verbosity >= 3) {
    logOut("debug: spListRefPlanes.Size() = " + std::to_string(planes.size()));
  }
  for (std::size_t i = 0; i < planes.size(); ++i) {
    host::Plane candidate;
    if (!planes[i] || !GetMathPlaneFromSpec(planes[i], candidate)) continue;
    if (!IsSamePlane(candidate, wanted)) continue;
    supportPlane_ = planes[i];
    if (shared_.verbosity >= 3) {
      logOut("debug: found same plane index = " + std::to_string(i + 1));
    }
    return true;
  }
  return false;
}

void SketchWriter::addGeometries(const rapidjson::Value& item) {
  const rapidjson::Value* geometries = member(item, "geometries");
  if (shared_.verbosity >= 3) {
    logOut("debug: AddGeometries begin" + who() + ", hasGeometries = " + flag(geometries));
  }
  auto edition = host::query<host::Sketch>(sketch_);
  if (edition) edition->openEdition();
  drawGeometries(item);
  if (edition) edition->closeEdition();
  status_ = updateFeature(sketch_).status;
  if (shared_.verbosity >= 3) {
    logOut("debug: AddGeometries end" + who() + ", rcUpdate = " + std::to_string(status_));
  }
}

void SketchWriter::drawGeometries(const rapidjson::Value& item) {
  geometryWarnings_.clear();
  const rapidjson::Value* geometries = member(item, "geometries");
  if (!geometries) return;
  if (!geometries->IsArray()) {
    skipGeometries("error: sketch geometries is not an array" + who());
    return;
  }
  if (geometries->Size() > SketchGeometry::kMaxGeometries) {
    skipGeometries("error: sketch has more than " + std::to_string(SketchGeometry::kMaxGeometries) +
                   " geometries, none drawn" + who());
    return;
  }
  auto factory = host::query<host::Factory2D>(sketch_);
  if (!factory) {
    skipGeometries("error: sketch has no 2D factory" + who());
    return;
  }
  SketchGeometry drawer(factory, shared_.verbosity);
  for (const rapidjson::Value& geometry : geometries->GetArray()) drawer.add(geometry);
  geometryWarnings_ = drawer.skipped();
}

void SketchWriter::skipGeometries(const std::string& line) {
  logErr(line);
  geometryWarnings_.push_back(line);
}

const rapidjson::Value* SketchWriter::geometriesForQueries(host::Plane& plane) const {
  if (!itemCopy_.IsObject()) return nullptr;
  const rapidjson::Value* matrix = member(itemCopy_, "matrix");
  const rapidjson::Value* geometries = member(itemCopy_, "geometries");
  if (!matrix || !geometries || !geometries->IsArray()) return nullptr;
  plane = parseMatrix(matrix);
  return geometries;
}

bool SketchWriter::vertexPoint3D(const std::string& id, host::Point3& out) const {
  host::Plane plane;
  const rapidjson::Value* geometries = geometriesForQueries(plane);
  if (!geometries) return false;
  for (const rapidjson::Value& g : geometries->GetArray()) {
    const rapidjson::Value* gid = member(g, "id");
    if (!gid || !gid->IsString() || id != std::string(gid->GetString(), gid->GetStringLength()))
      continue;
    const rapidjson::Value* type = member(g, "type");
    if (!type || !type->IsString() || std::string(type->GetString()) != "vertex") continue;
    host::Point2 at;
    if (!numberMember(g, "x", at.x) || !numberMember(g, "y", at.y)) {
      if (!pointMember(g, "position", at)) return false;
    }
    out = onPlane(plane, at);
    return true;
  }
  return false;
}

bool SketchWriter::firstCircle3D(host::Point3& center, double& radius) const {
  host::Plane plane;
  const rapidjson::Value* geometries = geometriesForQueries(plane);
  if (!geometries) return false;
  for (const rapidjson::Value& g : geometries->GetArray()) {
    const rapidjson::Value* type = member(g, "type");
    if (!type || !type->IsString() || std::string(type->GetString()) != "circle") continue;
    double r = 0;
    host::Point2 c;
    if (!numberMember(g, "radius", r)) continue;
    if (!pointMember(g, "center", c) &&
        !(numberMember(g, "cx", c.x) && numberMember(g, "cy", c.y))) {
      continue;
    }
    radius = r;
    center = onPlane(plane, c);
    return r > 0;
  }
  return false;
}

}  // namespace kestrun
