// One mirror on one writer: of the whole current solid, or of its sources' features.
#include "features/pattern/pattern_runs.h"
#include "features/pattern/pattern_support.h"
#include "features/writer/update_service.h"
#include "features/writer/writer_services.h"
#include "log/core_log.h"
#include "partjson/build_order.h"

namespace kestrun {

namespace {

std::string currentLines(const FeatureWriter& writer) {
  const auto& part = writer.sharedState().part;
  return "debug: cur feature " + aliasLine(part->currentFeature()) + "\ndebug: cur tool " +
         aliasLine(part->currentTool());
}

void addObjects(const FeatureWriter& writer, host::Mirror& mirror,
                const std::vector<FeatureWriter*>& sources) {
  for (std::size_t i = 0; i < sources.size(); ++i) {
    const host::Status rc = mirror.addMirrorObject(patternedObject(*sources[i]));
    writer.debug("debug: add object " + std::to_string(i) + " - " + sources[i]->name() +
                 " to mirror, ret = " + std::to_string(rc));
  }
}

}  // namespace

FeatureOutcome mirrorRun(FeatureWriter& writer, const std::vector<FeatureWriter*>& sources,
                         const host::SpecObjectPtr& plane, bool addCurSolid) {
  const auto& part = writer.sharedState().part;
  const host::SpecObjectPtr rememberedFeature = part->currentFeature();
  const host::SpecObjectPtr rememberedBody = part->currentTool();
  const host::SpecObjectPtr object = patternedObject(*sources.back());
  const host::SpecObjectPtr body = sources.back()->body();
  part->setCurrentFeature(object);
  trace(writer, "debug: ---- SetCurrentFeature, " + aliasLine(part->currentFeature()));
  trace(writer, "debug: ---- GetCurrentTool, " + aliasLine(part->currentTool()));

  auto factory = host::query<host::PatternFactory>(writer.sharedState().container);
  host::SpecObjectPtr mirror =
      factory ? inBuildOrder(writer.sharedState(), [&] { return factory->createMirror(plane); })
              : nullptr;
  FeatureOutcome out;
  out.body = body;
  if (!mirror) {
    logOut("error: the mirror could not be created, name = " + writer.name());
  } else {
    trace(writer, "debug: after CreateMirror:\n" + currentLines(writer));
    auto objects = host::query<host::Mirror>(mirror);
    if (addCurSolid) {
      writer.debug("debug: add cur solid to mirror " + writer.name() +
                   ", ret = -1, after AddMirrorObject:\n" + currentLines(writer));
    } else if (objects) {
      addObjects(writer, *objects, sources);
    }
    out.feature = mirror;
    out.status = updateFeature(mirror).status;
    setAlias(mirror, writer.name());
  }
  const bool keep =
      object == rememberedFeature && body == rememberedBody && mirror && !host::failed(out.status);
  part->setCurrentFeature(keep ? mirror : rememberedFeature);
  writer.debug("debug: after addMirror, reset curFeature = " + aliasLine(part->currentFeature()));
  writer.debug("debug: after addMirror, reset curTool = " + aliasLine(part->currentTool()));
  return out;
}

}  // namespace kestrun
