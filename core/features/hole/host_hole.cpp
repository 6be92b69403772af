#include "features/hole/host_hole.h"

#include <sstream>
#include <string>

#include "features/writer/update_service.h"
#include "features/writer/writer_services.h"
#include "host/hole_features.h"
#include "log/core_log.h"
#include "partjson/build_order.h"
#include "text/number_text.h"

namespace kestrun {

namespace {

std::string spaced(const host::Vec3& v) {
  return num(v.x) + " " + num(v.y) + " " + num(v.z);
}

// A location that resolved, with its axis line.
struct HoleSite {
  rapidjson::SizeType index = 0;
  host::Point3 point;
  host::SpecObjectPtr line;
};

host::SpecObjectPtr axisLine(FeatureWriter& writer, const host::Point3& at, const host::Vec3& d,
                             const std::string& name) {
  rapidjson::Document axis(rapidjson::kObjectType);
  auto& a = axis.GetAllocator();
  axis.AddMember("x", at.x, a).AddMember("y", at.y, a).AddMember("z", at.z, a);
  axis.AddMember("dx", d.x, a).AddMember("dy", d.y, a).AddMember("dz", d.z, a);
  host::SpecObjectPtr line = writer.createAxisLine(axis);
  if (line) {
    saveRefObj(writer.sharedState(), line, kRefObjGeometricalSet, name);
    setAlias(line, name);
  }
  return line;
}

std::vector<HoleSite> resolveSites(FeatureWriter& writer, const HoleParams& p) {
  std::vector<HoleSite> sites;
  if (!p.locations) return sites;
  const rapidjson::SizeType count = p.locations->Size();
  for (rapidjson::SizeType i = 0; i < count; ++i) {
    HoleSite site{i, {}, nullptr};
    if (!resolveHoleLocation(*writer.registry(), (*p.locations)[i], site.point)) {
      logOut("warning: hole location cannot be resolved, index = " + std::to_string(i));
      continue;
    }
    const std::string name =
        count == 1 ? writer.name() + "_dir" : writer.name() + "_" + std::to_string(i + 1) + "_dir";
    site.line = axisLine(writer, site.point, p.direction, name);
    sites.push_back(site);
  }
  std::size_t lines = 0;
  for (const HoleSite& site : sites) lines += site.line != nullptr;
  writer.debug("hole dirs size: " + std::to_string(lines));
  writer.debug("hole points size: " + std::to_string(sites.size()));
  return sites;
}

// The hole's own interface, tried kind by kind as the host offers them.
std::shared_ptr<host::Hole> holeInterface(FeatureWriter& writer, const host::SpecObjectPtr& hole,
                                          rapidjson::SizeType i) {
  const bool trace = writer.sharedState().verbosity >= 4;
  const std::string at = "holePoints[" + std::to_string(i) + "] ";
  if (auto h = host::query<host::SimpleHole>(hole)) return h;
  if (trace) logOut(at + "CATISimpleHole_var == NULL_var\n");
  if (auto h = host::query<host::TaperedHole>(hole)) return h;
  if (trace) logOut(at + "CATITaperedHole_var == NULL_var\n");
  if (auto h = host::query<host::CounterBoredHole>(hole)) return h;
  if (trace) logOut(at + "CATICounterBoredHole_var == NULL_var\n");
  if (auto h = host::query<host::CounterSunkHole>(hole)) return h;
  if (trace) logOut(at + "CATICounterSunkHole_var == NULL_var\n");
  return nullptr;
}

void setBottom(const host::SpecObjectPtr& hole, const HoleParams& p) {
  auto limit = host::query<host::HoleLimit>(hole);
  if (!limit) {
    logOut("warning: CATIHoleLimit_var == NULL_var, the hole keeps its own depth");
    return;
  }
  limit->setDepth(p.depth);
  if (p.tipAngle > 0) {
    limit->setBottomType(host::kHoleBottomV);
    limit->setBottomAngle(p.tipAngle);
  } else {
    limit->setBottomType(host::kHoleBottomFlat);
  }
}

// Turns the hole round when it points against the requested direction.
void orient(FeatureWriter& writer, host::Hole& hole, const host::Vec3& requested) {
  const host::Vec3 d = hole.direction();
  writer.debug("debug: hole ori :" + spaced(hole.origin()) + " mdi:" + spaced(d));
  writer.debug("debug: hole d:" + spaced(requested));
  const double dot = host::dot(d, requested);
  if (dot < 0) {
    writer.debug("debug: dot " + num(dot) + " less than 0.0, reverse hole");
    hole.reverse();
  }
}

void setKind(const host::SpecObjectPtr& object, host::Hole& hole, const HoleParams& p) {
  if (p.holeType == "simple") {
    hole.setType(host::kHoleSimple);
  } else if (p.holeType == "taperedHole") {
    hole.setType(host::kHoleTapered);
    if (auto tapered = host::query<host::TaperedHole>(object)) tapered->setTaperAngle(20);
  } else if (p.holeType == "counterbore") {
    hole.setType(host::kHoleCounterbored);
    if (auto bored = host::query<host::CounterBoredHole>(object)) {
      bored->setCounterboreDiameter(p.counterboreDiameter);
      bored->setCounterboreDepth(p.counterboreDepth);
    }
  } else if (p.holeType == "chamferedHole") {
    hole.setType(host::kHoleCountersunk);
    if (auto sunk = host::query<host::CounterSunkHole>(object)) {
      sunk->setCountersinkDiameter(p.chamferedHoleDiameter);
      sunk->setCountersinkAngle(p.chamferedHoleAngle);
    }
  }
}

// The hole made, with the worst update status so far: one failed hole fails the item even
// when a later one succeeds. A hole without an interface ends the item.
FeatureOutcome drillOne(FeatureWriter& writer, host::HoleFactory& factory, const HoleParams& p,
                        const HoleSite& site, const host::SpecObjectPtr& support,
                        host::Status worst) {
  host::SpecObjectPtr hole = inBuildOrder(
      writer.sharedState(), [&] { return factory.createHole(site.point, support, site.line); });
  std::shared_ptr<host::Hole> h = holeInterface(writer, hole, site.index);
  if (!h) {
    FeatureOutcome out =
        FeatureOutcome::failed(host::kFail, "error: CATINewHole_var == NULL_var\n");
    out.feature = hole;
    return out;
  }
  setBottom(hole, p);
  h->setDiameter(p.diameter);
  orient(writer, *h, p.direction);
  setKind(hole, *h, p);
  const host::Status rc = updateFeature(hole).status;
  writer.sharedState().part->setCurrentFeature(hole);
  if (writer.sharedState().verbosity >= 4) {
    logOut("holePoints[" + std::to_string(site.index) + "] end, rcUpdate = " + std::to_string(rc) +
           "\n");
  }
  return FeatureOutcome::built(hole, host::failed(worst) ? worst : rc);
}

}  // namespace

FeatureOutcome drillHostHoles(FeatureWriter& writer, const HoleParams& p,
                              const std::vector<host::SpecObjectPtr>& supports) {
  const std::vector<HoleSite> sites = resolveSites(writer, p);
  auto factory = host::query<host::HoleFactory>(writer.sharedState().container);
  if (!factory)
    return FeatureOutcome::none("error: the part factory is not available, name = " +
                                writer.name());
  bool anySupport = false;
  for (const auto& s : supports) anySupport = anySupport || s;
  FeatureOutcome made = FeatureOutcome::none();
  if (!anySupport || sites.empty()) return made;
  for (const HoleSite& site : sites) {
    // Supports are kept by location, so each point drills into its own face.
    const host::SpecObjectPtr support =
        site.index < supports.size() ? supports[site.index] : nullptr;
    if (!support) {
      logOut("support is null");
      continue;
    }
    if (!site.line) {
      logOut("dir is null");
      continue;
    }
    made = drillOne(writer, *factory, p, site, support, made.status);
    if (!made.error.empty()) break;
  }
  return made;
}

}  // namespace kestrun
