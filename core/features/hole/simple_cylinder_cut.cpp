#include "features/hole/simple_cylinder_cut.h"

#include <sstream>
#include <string>
#include <vector>

#include "features/hole/cylinder_cutter.h"
#include "features/writer/feature_ids.h"
#include "log/core_log.h"
#include "text/number_text.h"

namespace kestrun {

namespace {

bool nonEmptyArray(const rapidjson::Value& item, const char* key) {
  auto it = item.FindMember(key);
  return it != item.MemberEnd() && it->value.IsArray() && !it->value.Empty();
}

std::string targetMode(const rapidjson::Value& item) {
  if (nonEmptyArray(item, "boolSolids")) return "boolSolids";
  if (nonEmptyArray(item, "targetIds")) return "targetIds";
  return "featureId-current-chain";
}

struct CutTarget {
  Writer* writer = nullptr;
  host::SpecObjectPtr feature, body;
};

// The first listed solid; its current result in the modes that follow the chain.
bool findTarget(FeatureWriter& writer, const std::vector<std::string>& ids, const std::string& mode,
                CutTarget& out) {
  std::vector<Writer*> solids = featureWritersOnly(resolveWriters(*writer.registry(), ids));
  if (solids.empty()) return false;
  out = {solids.front(), solids.front()->feature(), solids.front()->body()};
  if (mode == "targetIds") return true;
  // Features built after the target in its body belong to what the hole goes through.
  host::SpecObjectPtr current = writer.sharedState().part->currentFeature();
  if (current && current->typeName() != "Body") out.feature = current;
  return true;
}

// Beyond a kilometre the cylinder's ends overflow the kernel's precision (or double range),
// and the cutter would report a cut that removed nothing.
constexpr double kLargestSize = 1e6;

bool sizesAllowACut(const HoleParams& p) {
  return p.diameter > 0 && p.diameter <= kLargestSize && p.depth > 0 && p.depth <= kLargestSize;
}

}  // namespace

FeatureOutcome simpleHoleRemoveCut(FeatureWriter& writer, const rapidjson::Value& item,
                                   const HoleParams& p) {
  const std::vector<std::string> ids = holeTargetIds(item);
  if (ids.empty() || !p.locations || p.locations->Empty() || !p.hasDirection || !sizesAllowACut(p))
    return {};
  const std::string mode = targetMode(item);
  CutTarget target;
  if (!findTarget(writer, ids, mode, target)) return {};
  const double length = host::norm(p.direction);
  if (!(length > 1e-9)) return {};
  const host::Vec3 n = p.direction * (1.0 / length);

  const rapidjson::SizeType count = p.locations->Size();
  FeatureOutcome last;
  bool cutAny = false;
  host::Point3 first;
  for (rapidjson::SizeType i = 0; i < count; ++i) {
    host::Point3 point;
    if (!resolveHoleLocation(*writer.registry(), (*p.locations)[i], point)) {
      logOut("warning: simple hole remove cut location cannot be resolved, name = " +
             writer.name() + ", index = " + std::to_string(i));
      continue;
    }
    const std::string cutName =
        writer.name() + "_cut" + (count > 1 ? "_" + std::to_string(i + 1) : "");
    writer.info("info: simple hole remove cut, name = " + writer.name() +
                ", targetId = " + target.writer->id() + ", targetMode = " + mode +
                ", index = " + std::to_string(i + 1) + "/" + std::to_string(count) +
                ", diameter = " + num(p.diameter) + ", depth = " + num(p.depth));
    CylinderCut cut{target.feature, target.body, point, n, p.diameter, p.depth, cutName};
    // "targetIds" names the state it cuts: the cut goes right after it, as it always did.
    cut.atTarget = mode == "targetIds";
    FeatureOutcome out = simpleHoleCutter(writer, cut);
    if (!out.feature || host::failed(out.status)) {
      logOut("warning: simple hole remove cut failed, name = " + writer.name() +
             ", index = " + std::to_string(i));
      writer.holeGeometry().singleLocation = false;
      return out;
    }
    if (!cutAny) first = point;
    cutAny = true;
    last = out;
    target.feature = out.feature;
    target.body = writer.body();
  }
  if (!cutAny) return {};
  writer.holeGeometry() = HoleGeometry{count == 1, p.diameter, p.depth, first, n};
  last.finish = FeatureOutcome::Finish::SimpleHoleCut;
  return last;
}

}  // namespace kestrun
