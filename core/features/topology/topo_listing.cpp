#include "features/topology/topo_listing.h"

#include <cmath>
#include <memory>
#include <utility>

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "features/topology/topo_match.h"
#include "host/topology.h"

namespace kestrun {
namespace {

using Json = rapidjson::Document;

// The faces and edges of one feature in the order the lookup walks them.
struct Walk {
  std::vector<std::shared_ptr<host::Face>> faces;
  std::vector<std::shared_ptr<host::Edge>> edges;
  std::vector<std::size_t> faceOf;    // the face each edge was walked from
  std::vector<host::Box3> edgeBoxes;  // read once: every edge is tested against every other
  std::vector<bool> planar;           // per face: a plane has no seam
};

void walkCell(const std::shared_ptr<host::Unknown>& cell, Walk& walk) {
  auto faceCell = host::query<host::FaceCell>(cell);
  if (!faceCell) return;
  const auto faces = faceCell->faces();
  const auto edgeCells = faceCell->edgeCells();
  for (const auto& face : faces) {
    if (!face) continue;
    walk.faces.push_back(face);
    auto surface = face->surface();
    walk.planar.push_back(surface && surface->kind() == host::SurfaceKind::Plane);
    for (const auto& edgeCell : edgeCells) {
      auto edges = host::query<host::EdgeCell>(edgeCell);
      if (!edges) continue;
      for (const auto& edge : edges->edges()) {
        if (!edge) continue;
        walk.edges.push_back(edge);
        walk.faceOf.push_back(walk.faces.size() - 1);
      }
    }
  }
}

rapidjson::Value triple(const host::Point3& p, Json::AllocatorType& a) {
  rapidjson::Value out(rapidjson::kArrayType);
  // A coordinate a rounding step away from zero is zero.
  for (double v : {p.x, p.y, p.z}) out.PushBack(std::abs(v) < 1e-12 ? 0.0 : v, a);
  return out;
}

Json start(const std::string& id, const char* topoType, const char* type) {
  Json d(rapidjson::kObjectType);
  auto& a = d.GetAllocator();
  d.AddMember("featureId", rapidjson::Value(id.c_str(), a), a);
  d.AddMember("topoType", rapidjson::StringRef(topoType), a);
  d.AddMember("type", rapidjson::StringRef(type), a);
  return d;
}

void add(Json& d, const char* key, const host::Point3& p) {
  d.AddMember(rapidjson::StringRef(key), triple(p, d.GetAllocator()), d.GetAllocator());
}

std::string text(const Json& d) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  d.Accept(writer);
  return buffer.GetString();
}

// Whether the first face the lookup would take for `d` is the one at `index`.
bool firstFace(const Walk& walk, std::size_t index, const Json& d) {
  for (std::size_t i = 0; i <= index; ++i) {
    if (planeMatches(*walk.faces[i], d, true)) return i == index;
  }
  return false;
}

double distance(const host::Point3& a, const host::Point3& b) {
  return host::norm(a - b);
}

// A seam, where a closed surface (a cylinder's side) meets itself: the edge runs along the
// face's parameter box at one end of a direction in which the surface closes. No fillet or
// chamfer can take it.
bool isSeam(host::Face& face, host::Edge& edge) {
  auto surface = face.surface();
  auto curve = edge.curve();
  double t0 = 0, t1 = 0;
  host::Point2 uv;
  if (!surface || !curve || !edge.vertexParameters(t0, t1) ||
      !surface->parametersOf(curve->pointAt((t0 + t1) / 2), uv))
    return false;
  const host::ParamBox box = face.parameterBox();
  const double tolerance = 1e-7;
  const bool onU = std::abs(uv.x - box.uMin) < tolerance || std::abs(uv.x - box.uMax) < tolerance;
  const bool onV = std::abs(uv.y - box.vMin) < tolerance || std::abs(uv.y - box.vMax) < tolerance;
  const bool closesInU =
      distance(surface->pointAt({box.uMin, uv.y}), surface->pointAt({box.uMax, uv.y})) < tolerance;
  const bool closesInV =
      distance(surface->pointAt({uv.x, box.vMin}), surface->pointAt({uv.x, box.vMax})) < tolerance;
  return (onU && closesInU) || (onV && closesInV);
}

// Whether the lookup would take the edge at `index` for `d` and nothing else there is it
// again: a face's seam (where a closed surface meets itself) bounds that one face twice, and
// no fillet or chamfer can take it.
bool firstEdge(const Walk& walk, std::size_t index, const Json& d) {
  const TopoLog quiet = [](const std::string&) {};
  const BoxHint hint = edgeHint(d);
  auto matches = [&](std::size_t i) {
    return mayMatch(walk.edgeBoxes[i], hint) && edgeMatches(*walk.edges[i], d, quiet);
  };
  for (std::size_t i = 0; i < index; ++i) {
    if (matches(i)) return false;
  }
  for (std::size_t i = index + 1; i < walk.edges.size(); ++i) {
    if (walk.faceOf[i] == walk.faceOf[index] && matches(i)) return false;
  }
  const std::size_t face = walk.faceOf[index];
  return matches(index) && (walk.planar[face] || !isSeam(*walk.faces[face], *walk.edges[index]));
}

// The parameter points tried for a face's "loc", the middle first, then a widening grid:
// the first on the face itself that the lookup takes for this face names it.
std::vector<std::pair<double, double>> facePoints() {
  std::vector<std::pair<double, double>> points = {{0.5, 0.5}};
  for (int n : {4, 8, 16}) {
    for (int i = 1; i < n; ++i)
      for (int j = 1; j < n; ++j) points.emplace_back(double(i) / n, double(j) / n);
  }
  return points;
}

bool describeFace(const Walk& walk, std::size_t index, const std::string& id, Json& out) {
  host::Face& face = *walk.faces[index];
  auto surface = face.surface();
  host::Point3 origin;
  host::Vec3 normal;
  if (!surface || !surface->plane(origin, normal) || !(host::norm(normal) > 0)) return false;
  const host::ParamBox box = face.parameterBox();
  static const std::vector<std::pair<double, double>> points = facePoints();
  for (const auto& [fu, fv] : points) {
    const host::Point2 uv{box.uMin + fu * (box.uMax - box.uMin),
                          box.vMin + fv * (box.vMax - box.vMin)};
    if (!face.holds(uv)) continue;
    out = start(id, "face", "plane");
    add(out, "vDir", normal * (1 / host::norm(normal)));
    add(out, "loc", surface->pointAt(uv));
    if (firstFace(walk, index, out)) return true;
  }
  return false;
}

bool describeCircle(host::Edge& edge, host::Curve& curve, const std::string& id, Json& out) {
  host::Point3 centre, a, b;
  host::Vec3 axis;
  double radius = 0, t0 = 0, t1 = 0;
  if (!curve.circle(centre, axis, radius) || !(host::norm(axis) > 0)) return false;
  const bool whole = edge.vertexParameters(t0, t1) && std::abs(t1 - t0 - 2 * M_PI) < 1e-9;
  out = start(id, "edge", whole ? "circle" : "arc");
  add(out, "vDir", axis * (1 / host::norm(axis)));
  add(out, "center", centre);
  out.AddMember("radius", radius, out.GetAllocator());
  if (whole) return true;
  if (!edge.vertices(a, b)) return false;
  add(out, "start", a);
  add(out, "end", b);
  return true;
}

bool describeEdge(host::Edge& edge, const std::string& id, Json& out) {
  auto curve = edge.curve();
  if (!curve) return false;
  if (curve->kind() == host::CurveKind::Circle) return describeCircle(edge, *curve, id, out);
  if (curve->kind() == host::CurveKind::Ellipse) return false;
  host::Point3 a, b;
  double t0 = 0, t1 = 0;
  if (!edge.vertices(a, b)) return false;
  const bool line = curve->kind() == host::CurveKind::Line;
  out = start(id, "edge", line ? "line" : "bspline");
  add(out, "start", a);
  add(out, "end", b);
  if (!line && edge.vertexParameters(t0, t1)) add(out, "midPt", curve->pointAt((t0 + t1) / 2));
  return true;
}

}  // namespace

std::vector<std::string> listTopoDescriptors(const std::string& itemId,
                                             const host::SpecObjectPtr& feature) {
  std::vector<std::string> out;
  auto geometry = host::query<host::FeatureGeometry>(feature);
  if (!geometry) return out;
  Walk walk;
  for (const auto& cell : geometry->boundaryCells()) walkCell(cell, walk);
  for (const auto& edge : walk.edges) walk.edgeBoxes.push_back(edge->box());
  Json d;
  for (std::size_t i = 0; i < walk.faces.size(); ++i) {
    if (describeFace(walk, i, itemId, d)) out.push_back(text(d));
  }
  for (std::size_t i = 0; i < walk.edges.size(); ++i) {
    if (describeEdge(*walk.edges[i], itemId, d) && firstEdge(walk, i, d)) out.push_back(text(d));
  }
  return out;
}

}  // namespace kestrun
