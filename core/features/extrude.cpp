// Extrude items: a pad of the profile, or, for "remove", a cut straight into the
// target body (a through-bore for a circle, else a pocket).
#include <cmath>
#include <sstream>

#include "core/features/extrude_params.h"
#include "core/features/feature_handlers.h"
#include "core/features/feature_ids.h"
#include "core/features/feature_writer.h"
#include "core/features/simple_hole_cutter.h"
#include "core/features/update_service.h"
#include "core/log/core_log.h"
#include "host/part_factory.h"

namespace kestrun {

namespace {

std::string num(double v) {
  std::ostringstream out;
  out << v;
  return out.str();
}

struct ExtrudeTarget {
  host::SpecObjectPtr feature;
  host::SpecObjectPtr body;
};

// The first writer of the profile ids, looking through writers that hold sub-writers.
Writer* profileWriter(const FeatureWriter& writer, const rapidjson::Value& item) {
  const std::vector<std::string> ids = profileSketchIds(item);
  if (ids.size() > 1)
    logOut("warn:------------- json sketches .size() = " + std::to_string(ids.size()));
  std::vector<Writer*> pending = resolveWriters(*writer.registry(), ids);
  while (!pending.empty()) {
    Writer* first = pending.front();
    auto* owner = dynamic_cast<FeatureWriter*>(first);
    if (!owner || owner->childWriters().empty()) return first;
    std::vector<Writer*> expanded;
    for (const auto& child : owner->childWriters()) expanded.push_back(child.get());
    expanded.insert(expanded.end(), pending.begin() + 1, pending.end());
    pending.swap(expanded);
  }
  return nullptr;
}

ExtrudeTarget removeTarget(const FeatureWriter& writer, const rapidjson::Value& item,
                           const host::SpecObjectPtr& previous, const host::SpecObjectPtr& body) {
  ExtrudeTarget target{previous, body};
  std::vector<std::string> ids;
  auto it = item.FindMember("boolSolids");
  if (it != item.MemberEnd() && it->value.IsArray()) {
    for (const auto& v : it->value.GetArray()) {
      if (v.IsString() && v.GetStringLength() > 0)
        ids.emplace_back(v.GetString(), v.GetStringLength());
    }
  }
  if (ids.empty()) return target;
  for (Writer* w : featureWritersOnly(resolveWriters(*writer.registry(), ids))) {
    if (w->feature()) target.feature = w->feature();
    if (w->body()) target.body = w->body();
  }
  return target;
}

bool tryThroughBore(FeatureWriter& writer, Writer* profile, const ExtrudeParams& p,
                    const ExtrudeTarget& target) {
  if (!profile || !(host::norm(p.direction) > 1e-9) || !target.feature) return false;
  host::Point3 center;
  double radius = 0;
  const double depth = std::fabs(p.first) + std::fabs(p.second);
  if (!profile->firstCircle3D(center, radius) || !(radius > 0) || !(depth > 0)) return false;
  const host::Vec3 n = p.direction * (1.0 / host::norm(p.direction));
  const host::Point3 mid = center + n * ((p.first - p.second) / 2);
  writer.info("info: through-bore cylinder remove cut, name = " + writer.name() + ", center = (" +
              num(mid.x) + ", " + num(mid.y) + ", " + num(mid.z) + "), direction = (" + num(n.x) +
              ", " + num(n.y) + ", " + num(n.z) + "), diameter = " + num(2 * radius) +
              ", depth = " + num(depth));
  CylinderCut cut{
      target.feature, target.body, mid, n, 2 * radius, depth / 2, writer.name() + "_through_bore"};
  if (!simpleHoleCutter(writer, cut)) return false;
  writer.markDirectRemoveCut();
  if (target.body) writer.setPrtTool(writer.sharedState().part->currentTool());
  return true;
}

void setLimits(host::Prism& prism, const ExtrudeParams& p) {
  prism.setDirection(p.direction);
  prism.setLimitType(host::LimitEnd::First, host::kLimitLength);
  prism.setLimitLength(host::LimitEnd::First, p.first);
  prism.setLimitType(host::LimitEnd::Second, host::kLimitLength);
  prism.setLimitLength(host::LimitEnd::Second, p.second);
}

void directPocket(FeatureWriter& writer, host::PartFactory& factory,
                  const host::SpecObjectPtr& sketch, const ExtrudeParams& p,
                  const ExtrudeTarget& target) {
  const auto& part = writer.sharedState().part;
  if (target.feature) {
    part->setCurrentFeature(target.feature);
  } else if (target.body) {
    part->setCurrentFeature(target.body);
  }
  host::SpecObjectPtr pocket = factory.createPocket(sketch);
  auto prism = host::query<host::Prism>(pocket);
  if (pocket && prism) {
    writer.info("info: direct pocket remove extrude, name = " + writer.name() +
                ", firstLimit = " + num(p.first) + ", secondLimit = " + num(p.second));
    writer.setSpecObj(pocket);
    setLimits(*prism, p);
    writer.setStatus(updateFeature(pocket).status);
    if (!host::failed(writer.status())) {
      writer.markDirectRemoveCut();
      writer.clearPreviousSpecObj();
      if (target.body) writer.setPrtTool(target.body);
      part->setCurrentFeature(pocket);
      return;
    }
  }
  logOut("error: direct pocket remove extrude failed, name = " + writer.name());
}

void pad(FeatureWriter& writer, host::PartFactory& factory, const host::SpecObjectPtr& sketch,
         const ExtrudeParams& p) {
  host::SpecObjectPtr padFeature = factory.createPad(sketch);
  auto prism = host::query<host::Prism>(padFeature);
  if (!prism) {
    logOut("error: the pad could not be created, name = " + writer.name());
    return;
  }
  writer.setSpecObj(padFeature);
  setLimits(*prism, p);
  writer.setStatus(updateFeature(padFeature).status);
  writer.sharedState().part->setCurrentFeature(padFeature);
  const double readFirst = prism->limitLength(host::LimitEnd::First);
  const double readSecond = prism->limitLength(host::LimitEnd::Second);
  if (readFirst != p.first || readSecond != p.second) {
    logOut("error: the pad limits are not correctly set:\nparam:  " + num(p.first) + ", " +
           num(p.second) + "\nresult: " + num(readFirst) + ", " + num(readSecond));
  }
}

// The profile's sketch, made now by its writer when it does not exist yet.
host::SpecObjectPtr profileSketch(Writer* profile) {
  if (!profile) return nullptr;
  if (!profile->sketchObject() && profile->isSketchWriter() && profile->item()) {
    profile->parseJson(*profile->item());
  }
  return profile->sketchObject();
}

}  // namespace

void extrudeHandler(FeatureWriter& writer, const rapidjson::Value& item,
                    const host::SpecObjectPtr& previous, const host::SpecObjectPtr& body) {
  ExtrudeParams p = readExtrudeParams(item);
  writer.debug("debug: n1Height = " + num(p.n1Height) + ", n2Height = " + num(p.n2Height) +
               ", direction = (" + num(p.direction.x) + ", " + num(p.direction.y) + ", " +
               num(p.direction.z) + "), contrary = " + std::to_string(p.contrary) +
               ", contrary2 = " + std::to_string(p.contrary2));
  Writer* profile = profileWriter(writer, item);
  if (!profile) return;
  const bool remove = writer.boolType() == "remove";
  if (remove) {
    const double overshoot = removeOvershootMm();
    applyOvershoot(p, overshoot);
    writer.debug("debug: remove extrude operational overshoot = " + num(overshoot) +
                 ", adjusted firstLimit = " + num(p.first) +
                 ", adjusted secondLimit = " + num(p.second));
  }
  const ExtrudeTarget target =
      remove ? removeTarget(writer, item, previous, body) : ExtrudeTarget{previous, body};
  if (remove && tryThroughBore(writer, profile, p, target)) return;
  host::SpecObjectPtr sketch = profileSketch(profile);
  writer.sharedState().part->setCurrentFeature(sketch);
  // The sketch sits in the body that was current when it was drawn; a pad that combines
  // later ("new", "common", ...) belongs in the body made for this item, not there.
  const std::string& boolType = writer.boolType();
  if (!remove && !boolType.empty() && boolType != "add" && body) {
    writer.sharedState().part->setCurrentFeature(body);
  }
  auto factory = host::query<host::PartFactory>(writer.sharedState().container);
  if (!factory) {
    logOut("error: the part factory is not available, name = " + writer.name());
    return;
  }
  if (remove) {
    directPocket(writer, *factory, sketch, p, target);
  } else {
    pad(writer, *factory, sketch, p);
  }
}

}  // namespace kestrun
