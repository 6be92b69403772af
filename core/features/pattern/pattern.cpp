// "linearArray" and "polarArray" items: one pattern of the single source on the item's
// own writer, or one child writer per source.
#include "features/pattern/pattern_runs.h"
#include "features/pattern/pattern_support.h"
#include "features/writer/feature_handlers.h"
#include "log/core_log.h"

namespace kestrun {

namespace {

struct PatternLines {
  host::SpecObjectPtr direct1, direct2, axis;
};

FeatureOutcome runPattern(FeatureWriter& writer, const rapidjson::Value& item,
                          FeatureWriter& source, const PatternLines& lines) {
  if (writer.type() == "polarArray") return circularPattern(writer, item, &source, lines.axis);
  return linearPattern(writer, item, source, lines.direct1, lines.direct2);
}

bool childFailed(const FeatureWriter& child) {
  return host::failed(child.status()) || !child.feature();
}

// One child per source. The item stands for the child whose source sits in the body
// that was current; with none there, for the last child that made a pattern.
FeatureOutcome runOnChildren(FeatureWriter& writer, const rapidjson::Value& item,
                             const std::vector<FeatureWriter*>& sources, const PatternLines& lines,
                             const host::SpecObjectPtr& currentBody) {
  FeatureOutcome out;
  FeatureOutcome fallback;
  int failures = 0;
  for (std::size_t w = 0; w < sources.size(); ++w) {
    FeatureWriter& source = *sources[w];
    writer.debug("debug: " + writer.name() + " " + writer.type() + " feature[" + std::to_string(w) +
                 "] " + source.name());
    std::unique_ptr<FeatureWriter> child =
        writer.makeChild(writer.name() + "_" + std::to_string(w + 1));
    child->takeOutcome(runPattern(*child, item, source, lines));
    if (childFailed(*child)) ++failures;
    if (child->feature()) {
      fallback = FeatureOutcome::built(child->feature());
      fallback.body = child->body();
    }
    if (child->feature() && source.body() && source.body() == currentBody) {
      out = FeatureOutcome::built(child->getSpecObjBody());
      out.body = source.body();
    }
    writer.adoptChild(std::move(child));
  }
  if (!out.feature) out = fallback;
  out.status = -failures;
  return out;
}

}  // namespace

FeatureOutcome patternHandler(FeatureWriter& writer, const rapidjson::Value& item,
                              const host::SpecObjectPtr&, const host::SpecObjectPtr& body) {
  const std::string& name = writer.name();
  const PatternLines lines{itemAxisLine(writer, item, "direct", name + "_direct1"),
                           itemAxisLine(writer, item, "direct2", name + "_direct2"),
                           itemAxisLine(writer, item, "axis", name + "_axis")};
  const std::vector<FeatureWriter*> sources = patternSources(writer, item);
  if (sources.empty()) return FeatureOutcome::none("error: no feature found for " + writer.type());
  FeatureOutcome out = sources.size() == 1 ? runPattern(writer, item, *sources.front(), lines)
                                           : runOnChildren(writer, item, sources, lines, body);
  traceCurrent(writer, "after all " + writer.type() + ",");
  return out;
}

}  // namespace kestrun
