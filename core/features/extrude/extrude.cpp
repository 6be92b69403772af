// Extrude items: a pad of the profile, or, for "remove", a cut straight into the
// target body (a through-bore for a circle, else a pocket).
#include <cmath>
#include <sstream>

#include "features/extrude/extrude_params.h"
#include "features/hole/cylinder_cutter.h"
#include "features/writer/feature_handlers.h"
#include "features/writer/feature_ids.h"
#include "features/writer/feature_writer.h"
#include "features/writer/update_service.h"
#include "host/part_factory.h"
#include "log/core_log.h"
#include "partjson/build_order.h"
#include "text/number_text.h"

namespace kestrun {

namespace {

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
    std::vector<Writer*> expanded = first->subWriters();
    if (expanded.empty()) return first;
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

// A through-bore for a circle profile. Nothing when the profile is no circle or the
// cutter could not start; a failed outcome when the cutter failed on the way.
FeatureOutcome tryThroughBore(FeatureWriter& writer, Writer* profile, const ExtrudeParams& p,
                              const ExtrudeTarget& target) {
  if (!profile || !(host::norm(p.direction) > 1e-9) || !target.feature) return {};
  host::Point3 center;
  double radius = 0;
  const double depth = std::fabs(p.first) + std::fabs(p.second);
  if (!profile->firstCircle3D(center, radius) || !(radius > 0) || !(depth > 0)) return {};
  const host::Vec3 n = p.direction * (1.0 / host::norm(p.direction));
  const host::Point3 mid = center + n * ((p.first - p.second) / 2);
  writer.info("info: through-bore cylinder remove cut, name = " + writer.name() + ", center = (" +
              num(mid.x) + ", " + num(mid.y) + ", " + num(mid.z) + "), direction = (" + num(n.x) +
              ", " + num(n.y) + ", " + num(n.z) + "), diameter = " + num(2 * radius) +
              ", depth = " + num(depth));
  CylinderCut cut{
      target.feature, target.body, mid, n, 2 * radius, depth / 2, writer.name() + "_through_bore"};
  FeatureOutcome out = simpleHoleCutter(writer, cut);
  if (!out.feature || host::failed(out.status)) return out;
  out.finish = FeatureOutcome::Finish::DirectCut;
  if (target.body) out.body = writer.sharedState().part->currentTool();
  return out;
}

// The first failed status of the six settings.
host::Status setLimits(host::Prism& prism, const ExtrudeParams& p) {
  const host::Status statuses[] = {
      prism.setDirection(p.direction),
      prism.setLimitType(host::LimitEnd::First, host::kLimitLength),
      prism.setLimitLength(host::LimitEnd::First, p.first),
      prism.setLimitType(host::LimitEnd::Second, host::kLimitLength),
      prism.setLimitLength(host::LimitEnd::Second, p.second),
  };
  for (host::Status status : statuses) {
    if (host::failed(status)) return status;
  }
  return host::kOk;
}

// The prism's update status, unless one of its settings was refused.
host::Status updatePrism(const host::SpecObjectPtr& feature, host::Status settings) {
  const host::Status updated = updateFeature(feature).status;
  return host::failed(settings) ? settings : updated;
}

FeatureOutcome directPocket(FeatureWriter& writer, host::PartFactory& factory,
                            const host::SpecObjectPtr& sketch, const ExtrudeParams& p,
                            const ExtrudeTarget& target) {
  const auto& part = writer.sharedState().part;
  if (target.feature) {
    part->setCurrentFeature(target.feature);
  } else if (target.body) {
    part->setCurrentFeature(target.body);
  }
  host::SpecObjectPtr pocket =
      inBuildOrder(writer.sharedState(), [&] { return factory.createPocket(sketch); });
  auto prism = host::query<host::Prism>(pocket);
  const std::string failure = "error: direct pocket remove extrude failed, name = " + writer.name();
  if (!pocket || !prism) return FeatureOutcome::none(failure);
  writer.info("info: direct pocket remove extrude, name = " + writer.name() +
              ", firstLimit = " + num(p.first) + ", secondLimit = " + num(p.second));
  FeatureOutcome out = FeatureOutcome::built(pocket, updatePrism(pocket, setLimits(*prism, p)));
  if (host::failed(out.status)) {
    out.error = failure;
    return out;
  }
  out.finish = FeatureOutcome::Finish::DirectCut;
  out.body = target.body;
  part->setCurrentFeature(pocket);
  return out;
}

FeatureOutcome pad(FeatureWriter& writer, host::PartFactory& factory,
                   const host::SpecObjectPtr& sketch, const ExtrudeParams& p) {
  host::SpecObjectPtr padFeature =
      inBuildOrder(writer.sharedState(), [&] { return factory.createPad(sketch); });
  auto prism = host::query<host::Prism>(padFeature);
  if (!prism) {
    return FeatureOutcome::none("error: the pad could not be created, name = " + writer.name());
  }
  FeatureOutcome out =
      FeatureOutcome::built(padFeature, updatePrism(padFeature, setLimits(*prism, p)));
  writer.sharedState().part->setCurrentFeature(padFeature);
  const double readFirst = prism->limitLength(host::LimitEnd::First);
  const double readSecond = prism->limitLength(host::LimitEnd::Second);
  if (readFirst != p.first || readSecond != p.second) {
    out.error = "error: the pad limits are not correctly set:\nparam:  " + num(p.first) + ", " +
                num(p.second) + "\nresult: " + num(readFirst) + ", " + num(readSecond);
  }
  return out;
}

// The profile's sketch, made now by its writer when it does not exist yet.
host::SpecObjectPtr profileSketch(Writer* profile) {
  if (!profile) return nullptr;
  if (!profile->sketchObject() && profile->isSketchWriter() && profile->item()) {
    profile->parseJson(*profile->item());
  }
  return profile->sketchObject();
}

// The pad, or the pocket of a remove, from the profile's sketch.
FeatureOutcome prismFeature(FeatureWriter& writer, Writer* profile, const ExtrudeParams& p,
                            const ExtrudeTarget& target, bool remove) {
  host::SpecObjectPtr sketch = profileSketch(profile);
  writer.sharedState().part->setCurrentFeature(sketch);
  // The sketch sits in the body that was current when it was drawn; a pad that combines
  // later ("new", "common", ...) belongs in the body made for this item, not there.
  if (!remove && isCombined(writer.boolKind()) && target.body) {
    writer.sharedState().part->setCurrentFeature(target.body);
  }
  auto factory = host::query<host::PartFactory>(writer.sharedState().container);
  if (!factory) {
    return FeatureOutcome::none("error: the part factory is not available, name = " +
                                writer.name());
  }
  if (remove) return directPocket(writer, *factory, sketch, p, target);
  return pad(writer, *factory, sketch, p);
}

}  // namespace

FeatureOutcome extrudeHandler(FeatureWriter& writer, const rapidjson::Value& item,
                              const host::SpecObjectPtr& previous,
                              const host::SpecObjectPtr& body) {
  ExtrudeParams p = readExtrudeParams(item);
  writer.debug("debug: n1Height = " + num(p.n1Height) + ", n2Height = " + num(p.n2Height) +
               ", direction = (" + num(p.direction.x) + ", " + num(p.direction.y) + ", " +
               num(p.direction.z) + "), contrary = " + std::to_string(p.contrary) +
               ", contrary2 = " + std::to_string(p.contrary2));
  Writer* profile = profileWriter(writer, item);
  if (!profile) return FeatureOutcome::none();
  const bool remove = writer.boolKind() == BoolType::Remove;
  if (remove) {
    const double overshoot = removeOvershootMm();
    applyOvershoot(p, overshoot);
    writer.debug("debug: remove extrude operational overshoot = " + num(overshoot) +
                 ", adjusted firstLimit = " + num(p.first) +
                 ", adjusted secondLimit = " + num(p.second));
  }
  const ExtrudeTarget target =
      remove ? removeTarget(writer, item, previous, body) : ExtrudeTarget{previous, body};
  FeatureOutcome bore = remove ? tryThroughBore(writer, profile, p, target) : FeatureOutcome{};
  if (bore.finish == FeatureOutcome::Finish::DirectCut) return bore;
  FeatureOutcome made = prismFeature(writer, profile, p, target, remove);
  // A cutter that failed on the way leaves its feature and status unless the pocket
  // made one of its own.
  if (made.feature || !host::failed(bore.status)) return made;
  bore.error = made.error;
  return bore;
}

}  // namespace kestrun
