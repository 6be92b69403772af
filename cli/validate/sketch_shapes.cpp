#include "validate/sketch_shapes.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <sstream>

namespace kestrun_validate {

namespace {

// Curve ends closer than this join; the profile builder joins at the same distance.
constexpr double kJoin = 1e-6;

struct P2 {
  double x = 0, y = 0;
};
struct P3 {
  double x = 0, y = 0, z = 0;
};

std::string quoted(const std::string& s) {
  return "\"" + s + "\"";
}

std::string show(double v) {
  std::ostringstream out;
  out << (std::fabs(v) < 1e-9 ? 0.0 : v);
  return out.str();
}

std::string show(const P2& p) {
  return "(" + show(p.x) + ", " + show(p.y) + ")";
}

std::string show(const P3& p) {
  return "(" + show(p.x) + ", " + show(p.y) + ", " + show(p.z) + ")";
}

bool number(const rapidjson::Value& o, const char* key, double& out) {
  const rapidjson::Value* v = memberOf(o, key);
  if (!v || !v->IsNumber()) return false;
  out = v->GetDouble();
  return true;
}

bool point2(const rapidjson::Value* v, P2& out) {
  return v && number(*v, "x", out.x) && number(*v, "y", out.y);
}

bool centre(const rapidjson::Value& g, P2& out) {
  return point2(memberOf(g, "center"), out) || (number(g, "cx", out.x) && number(g, "cy", out.y));
}

// The two ends of an open curve; false for a closed one or one that cannot be read.
bool ends(const rapidjson::Value& g, P2& a, P2& b) {
  const std::string type = stringOf(g, "type");
  if (type == "line")
    return number(g, "x1", a.x) && number(g, "y1", a.y) && number(g, "x2", b.x) &&
           number(g, "y2", b.y);
  if (type == "arc") {
    P2 c, s, e;
    double r = 0;
    if (!point2(memberOf(g, "center"), c) || !point2(memberOf(g, "start"), s) ||
        !point2(memberOf(g, "end"), e) || !number(g, "radius", r))
      return false;
    const double from = std::atan2(s.y - c.y, s.x - c.x), to = std::atan2(e.y - c.y, e.x - c.x);
    if (std::fabs(from - to) < 1e-12) return false;  // a whole turn
    a = {c.x + r * std::cos(from), c.y + r * std::sin(from)};
    b = {c.x + r * std::cos(to), c.y + r * std::sin(to)};
    return true;
  }
  if (type == "ellipseArc") return point2(memberOf(g, "start"), a) && point2(memberOf(g, "end"), b);
  if (type == "spline") {
    const rapidjson::Value* points = memberOf(g, "fitPoints");
    if (!points || !points->IsArray()) points = memberOf(g, "controlPoints");
    if (!points || !points->IsArray() || points->Size() < 2) return false;
    if (!point2(&(*points)[0], a) || !point2(&(*points)[points->Size() - 1], b)) return false;
    if (std::fabs(a.x - b.x) <= kJoin && std::fabs(a.y - b.y) <= kJoin) return false;
    point2(memberOf(g, "start"), a);
    point2(memberOf(g, "end"), b);
    return true;
  }
  return false;
}

struct End {
  P2 at;
  std::size_t geometry;
};

bool meets(const P2& a, const P2& b) {
  return std::hypot(a.x - b.x, a.y - b.y) <= kJoin;
}

}  // namespace

void checkSketchCentres(const IndexedItem& sketch, std::vector<Problem>& out) {
  const rapidjson::Value* geometries = memberOf(*sketch.json, "geometries");
  if (!geometries || !geometries->IsArray()) return;
  for (rapidjson::SizeType i = 0; i < geometries->Size(); ++i) {
    const rapidjson::Value& g = (*geometries)[i];
    const std::string type = stringOf(g, "type");
    const std::string at = sketch.pointer + "/geometries/" + std::to_string(i);
    P2 p;
    if ((type == "circle" || type == "ellipse") && !centre(g, p))
      out.push_back({at, sketch.id, "the " + type + " has no centre, so it would be skipped",
                     "add \"center\": {\"x\": 0, \"y\": 0} (or \"cx\" and \"cy\")"});
    if (type == "vertex" && !(number(g, "x", p.x) && number(g, "y", p.y)) &&
        !point2(memberOf(g, "position"), p))
      out.push_back({at, sketch.id, "the vertex has no position, so it would be skipped",
                     "add \"x\" and \"y\""});
  }
}

void checkClosedProfile(const IndexedItem& sketch, const IndexedItem& user,
                        std::vector<Problem>& out) {
  const rapidjson::Value* geometries = memberOf(*sketch.json, "geometries");
  if (!geometries || !geometries->IsArray()) return;
  if (geometries->Empty()) {
    out.push_back({sketch.pointer + "/geometries", sketch.id,
                   "the sketch has no geometry, so the profile of " + quoted(user.id) + " is empty",
                   "add closed curves: lines end to end, or a circle"});
    return;
  }
  std::vector<End> open;
  for (rapidjson::SizeType i = 0; i < geometries->Size(); ++i) {
    P2 a, b;
    if (!ends((*geometries)[i], a, b)) continue;
    open.push_back({a, i});
    open.push_back({b, i});
  }
  std::vector<const End*> loose;
  for (std::size_t i = 0; i < open.size(); ++i) {
    bool joined = false;
    for (std::size_t j = 0; j < open.size() && !joined; ++j)
      joined = j != i && meets(open[i].at, open[j].at);
    if (!joined) loose.push_back(&open[i]);
  }
  if (loose.empty()) return;
  const End& first = *loose.front();
  std::string suggestion;
  if (loose.size() >= 2) {
    const End* partner = loose[1];
    for (const End* e : loose) {
      if (e != &first && std::hypot(e->at.x - first.at.x, e->at.y - first.at.y) <
                             std::hypot(partner->at.x - first.at.x, partner->at.y - first.at.y))
        partner = e;
    }
    suggestion = "join " + show(first.at) + " to the open end " + show(partner->at) +
                 ", e.g. with a line from one to the other";
  }
  out.push_back({sketch.pointer + "/geometries/" + std::to_string(first.geometry), sketch.id,
                 "the profile of " + quoted(user.id) + " is not closed: the end " + show(first.at) +
                     " meets no other curve (" + std::to_string(loose.size()) +
                     " open ends in sketch " + quoted(sketch.id) + ")",
                 suggestion});
}

namespace {

struct Box {
  P3 min{1e300, 1e300, 1e300}, max{-1e300, -1e300, -1e300};
  void add(const P3& p) {
    min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
    max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
  }
  bool holds(const P3& p, double margin) const {
    return p.x >= min.x - margin && p.x <= max.x + margin && p.y >= min.y - margin &&
           p.y <= max.y + margin && p.z >= min.z - margin && p.z <= max.z + margin;
  }
};

struct Frame {
  P3 origin, h, v;
  P3 at(const P2& p) const {
    return {origin.x + p.x * h.x + p.y * v.x, origin.y + p.x * h.y + p.y * v.y,
            origin.z + p.x * h.z + p.y * v.z};
  }
};

// The sketch's plane from its column-major matrix; none when its axes are parallel (the
// core then derives them from the normal).
std::optional<Frame> frameOf(const rapidjson::Value& sketch) {
  const rapidjson::Value* m = memberOf(sketch, "matrix");
  if (!m || !m->IsArray() || m->Size() != 16) return std::nullopt;
  double e[16];
  for (rapidjson::SizeType i = 0; i < 16; ++i) {
    if (!(*m)[i].IsNumber()) return std::nullopt;
    e[i] = (*m)[i].GetDouble();
  }
  const P3 h{e[0], e[1], e[2]}, v{e[4], e[5], e[6]};
  const double cx = h.y * v.z - h.z * v.y, cy = h.z * v.x - h.x * v.z, cz = h.x * v.y - h.y * v.x;
  if (std::fabs(cx) < 1e-9 && std::fabs(cy) < 1e-9 && std::fabs(cz) < 1e-9) return std::nullopt;
  return Frame{{e[12], e[13], e[14]}, h, v};
}

// A box in the sketch's plane that holds every curve of it.
bool sketchExtent(const rapidjson::Value& sketch, P2& low, P2& high) {
  const rapidjson::Value* geometries = memberOf(sketch, "geometries");
  if (!geometries || !geometries->IsArray() || geometries->Empty()) return false;
  low = {1e300, 1e300};
  high = {-1e300, -1e300};
  auto add = [&](const P2& p, double r) {
    low = {std::min(low.x, p.x - r), std::min(low.y, p.y - r)};
    high = {std::max(high.x, p.x + r), std::max(high.y, p.y + r)};
  };
  for (const auto& g : geometries->GetArray()) {
    const std::string type = stringOf(g, "type");
    P2 a, b, c;
    double r = 0, r2 = 0;
    if (type == "line" && ends(g, a, b)) {
      add(a, 0);
      add(b, 0);
    } else if ((type == "circle" || type == "arc") && centre(g, c) && number(g, "radius", r)) {
      add(c, std::fabs(r));
    } else if ((type == "ellipse" || type == "ellipseArc") && centre(g, c) && number(g, "rx", r) &&
               number(g, "ry", r2)) {
      add(c, std::max(std::fabs(r), std::fabs(r2)));
    } else if (type == "vertex" && number(g, "x", a.x) && number(g, "y", a.y)) {
      add(a, 0);
    } else {
      return false;  // a spline may swing out of its points: no extent is known
    }
  }
  return true;
}

P3 unitOr(const rapidjson::Value* d, const P3& fallback) {
  P3 v;
  if (!d || !number(*d, "x", v.x) || !number(*d, "y", v.y) || !number(*d, "z", v.z))
    return fallback;
  const double n = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  if (!(n > 0)) return {1, 0, 0};
  return {v.x / n, v.y / n, v.z / n};
}

// A box that holds all the extrusion can make, whatever the sense of its limits.
std::optional<Box> extrudeExtent(const ItemIndex& index, const IndexedItem& item) {
  std::string id = stringOf(*item.json, "sketchId");
  const rapidjson::Value* list = memberOf(*item.json, "sketches");
  if (list && list->IsArray() && !list->Empty() && (*list)[0].IsString())
    id = (*list)[0].GetString();
  const IndexedItem* sketch = index.find(id);
  if (!sketch || !sketch->sketch) return std::nullopt;
  std::optional<Frame> frame = frameOf(*sketch->json);
  P2 low, high;
  if (!frame || !sketchExtent(*sketch->json, low, high)) return std::nullopt;
  const P3 d = unitOr(memberOf(*item.json, "direction"), {0, 0, 1});
  double n1 = 0, n2 = 0;
  number(*item.json, "n1Height", n1);
  number(*item.json, "n2Height", n2);
  const double reach = std::fabs(n1) + std::fabs(n2);
  Box box;
  for (const P2& corner : {low, high, P2{low.x, high.y}, P2{high.x, low.y}}) {
    const P3 p = frame->at(corner);
    for (double t : {-reach, reach}) box.add({p.x + t * d.x, p.y + t * d.y, p.z + t * d.z});
  }
  return box;
}

// The extents of all solids; none when some solid's extent cannot be told.
std::optional<std::vector<std::pair<const IndexedItem*, Box>>> solidExtents(
    const ItemIndex& index) {
  std::vector<std::pair<const IndexedItem*, Box>> boxes;
  for (const IndexedItem& item : index.items) {
    if (item.sketch || item.type == "hole" || item.type == "fillet" || item.type == "chamfer" ||
        item.type == "shell" || item.type == "draft")
      continue;
    if (item.type != "extrude") return std::nullopt;
    if (stringOf(*item.json, "boolType") == "remove") continue;
    std::optional<Box> box = extrudeExtent(index, item);
    if (!box) return std::nullopt;
    boxes.emplace_back(&item, *box);
  }
  return boxes;
}

bool location(const ItemIndex& index, const rapidjson::Value& v, P3& out) {
  if (v.IsObject()) return number(v, "x", out.x) && number(v, "y", out.y) && number(v, "z", out.z);
  if (!v.IsString()) return false;
  auto g = index.geometries.find(v.GetString());
  if (g == index.geometries.end() || g->second.type != "vertex") return false;
  const IndexedItem* sketch = index.find(g->second.sketchId);
  std::optional<Frame> frame = sketch ? frameOf(*sketch->json) : std::nullopt;
  P2 p;
  if (!frame || !(number(*g->second.json, "x", p.x) && number(*g->second.json, "y", p.y)))
    return false;
  out = frame->at(p);
  return true;
}

}  // namespace

void checkHoleLocations(const ItemIndex& index, std::vector<Problem>& out) {
  std::optional<std::vector<std::pair<const IndexedItem*, Box>>> solids;
  bool known = false;
  for (const IndexedItem& item : index.items) {
    const rapidjson::Value* locations = memberOf(*item.json, "locations");
    if (item.type != "hole" || !locations || !locations->IsArray()) continue;
    if (!known) {
      solids = solidExtents(index);
      known = true;
    }
    if (!solids || solids->empty()) return;
    for (rapidjson::SizeType i = 0; i < locations->Size(); ++i) {
      P3 p;
      if (!location(index, (*locations)[i], p)) continue;
      const bool near = std::any_of(solids->begin(), solids->end(),
                                    [&](const auto& s) { return s.second.holds(p, 1e-3); });
      if (near) continue;
      const auto& [solid, box] = solids->front();
      out.push_back({item.pointer + "/locations/" + std::to_string(i), item.id,
                     "the hole location " + show(p) +
                         " is off every face: it would drill nothing (" + quoted(solid->id) +
                         " lies within " + show(box.min) + " to " + show(box.max) + ")",
                     "put the location on a face of the solid, e.g. its top face"});
    }
  }
}

}  // namespace kestrun_validate
