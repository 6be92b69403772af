// "mirrorFeature" items: a mirror about the item's plane, on the item's own writer when
// all sources share one body, otherwise one child mirror per body.
#include <algorithm>

#include "features/pattern/pattern_runs.h"
#include "features/pattern/pattern_support.h"
#include "features/writer/feature_handlers.h"
#include "features/writer/update_service.h"
#include "features/writer/writer_services.h"
#include "log/core_log.h"
#include "partjson/json_members.h"
#include "sketch/plane_math.h"

namespace kestrun {

namespace {

bool isPatternOrMirror(const std::string& type) {
  return type == "linearArray" || type == "polarArray" || type == "mirrorFeature";
}

// Sources by body, in first-seen order, each group with its whole-solid flag.
struct MirrorGroup {
  host::SpecObjectPtr body;
  std::vector<FeatureWriter*> sources;
  bool addCurSolid = false;
};

std::vector<MirrorGroup> groupByBody(const FeatureWriter& writer,
                                     const std::vector<FeatureWriter*>& sources, bool addCurSolid) {
  std::vector<MirrorGroup> groups;
  for (FeatureWriter* source : sources) {
    auto it = std::find_if(groups.begin(), groups.end(),
                           [&](const MirrorGroup& g) { return g.body == source->body(); });
    if (it == groups.end()) it = groups.insert(groups.end(), {source->body(), {}, addCurSolid});
    it->sources.push_back(source);
    if (!isPatternOrMirror(source->type())) continue;
    // Copies of copies are not mirrored one by one: the group mirrors its whole solid.
    writer.debug("debug: subMirror[" + std::to_string(it - groups.begin()) +
                 "] not support feature[" + std::to_string(it->sources.size() - 1) + "], name = " +
                 source->name() + ", " + source->type() + ", instead of addCurSolid = 1");
    it->addCurSolid = true;
  }
  return groups;
}

host::SpecObjectPtr mirrorPlane(FeatureWriter& writer, const rapidjson::Value& item) {
  const host::Plane plane = parseMatrix(member(item, "plane"));
  host::SpecObjectPtr feature = createPlaneFeature(writer.sharedState(), plane);
  const std::string alias = writer.name() + "_plane";
  saveRefObj(writer.sharedState(), feature, kRefObjGeometricalSet, alias);
  setAlias(feature, alias);
  return feature;
}

FeatureOutcome runOnChildren(FeatureWriter& writer, const std::vector<MirrorGroup>& groups,
                             const host::SpecObjectPtr& plane, const host::SpecObjectPtr& body) {
  FeatureOutcome out, fallback;
  int failures = 0;
  for (std::size_t j = 0; j < groups.size(); ++j) {
    const MirrorGroup& group = groups[j];
    writer.debug("debug: " + writer.name() + " subMirror[" + std::to_string(j) + "]" +
                 ", features size= " + std::to_string(group.sources.size()) + ", addCurSolidMap[" +
                 std::to_string(j) + "] = " + std::to_string(group.addCurSolid ? 1 : 0));
    auto child = writer.makeChild(writer.name() + "_" + std::to_string(j + 1));
    child->takeOutcome(mirrorRun(*child, group.sources, plane, group.addCurSolid));
    if (host::failed(child->status()) || !child->feature()) ++failures;
    if (child->feature()) {
      fallback = FeatureOutcome::built(child->feature());
      fallback.body = child->body();
      if (group.body && group.body == body) {
        out = FeatureOutcome::built(child->getSpecObjBody());
        out.body = child->body();
      }
    }
    writer.adoptChild(std::move(child));
  }
  if (!out.feature) out = fallback;
  out.status = -failures;
  return out;
}

}  // namespace

FeatureOutcome mirrorHandler(FeatureWriter& writer, const rapidjson::Value& item,
                             const host::SpecObjectPtr&, const host::SpecObjectPtr& body) {
  const host::SpecObjectPtr plane = mirrorPlane(writer, item);
  const bool addCurSolid = writer.isLastFeature();
  const std::string flag = addCurSolid ? "1" : "0";
  writer.debug("debug: isLastFeature = " + flag + ", total addCurSolid = " + flag);
  const std::vector<FeatureWriter*> sources = patternSources(writer, item);
  if (sources.empty()) return FeatureOutcome::none("error: no feature found for " + writer.type());
  const std::vector<MirrorGroup> groups = groupByBody(writer, sources, addCurSolid);
  writer.debug("debug: " + writer.name() + ", rootMap size = " + std::to_string(groups.size()) +
               ", mirrorMap size = " + std::to_string(groups.size()) +
               ", addCurSolidMap size= " + std::to_string(groups.size()));
  FeatureOutcome out;
  if (groups.size() == 1) {
    writer.debug("debug: rootMap.size() == 1, addCurSolid = " +
                 std::to_string(groups.front().addCurSolid ? 1 : 0));
    out = mirrorRun(writer, groups.front().sources, plane, groups.front().addCurSolid);
  } else {
    out = runOnChildren(writer, groups, plane, body);
  }
  traceCurrent(writer, "after all " + writer.type() + ",");
  return out;
}

}  // namespace kestrun
