#include "core/features/feature_dispatch.h"

#include <utility>

#include "core/features/feature_handlers.h"
#include "core/features/feature_writer.h"

namespace kestrun {

namespace {

// A known type whose handler this build lacks: it produces nothing, so the item fails
// rather than passing for built.
FeatureOutcome notBuiltYet(FeatureWriter& writer, const rapidjson::Value&,
                           const host::SpecObjectPtr&, const host::SpecObjectPtr&) {
  return FeatureOutcome::none("error: feature type " + writer.type() +
                              " is not built yet, name = " + writer.name() +
                              ", id = " + writer.id());
}

// In the order the types are tested.
const std::pair<const char*, FeatureHandler> kHandlers[] = {
    {"extrude", extrudeHandler},  {"rotate", notBuiltYet},     {"loft", notBuiltYet},
    {"fillet", filletHandler},    {"chamfer", chamferHandler}, {"mirrorFeature", notBuiltYet},
    {"linearArray", notBuiltYet}, {"polarArray", notBuiltYet}, {"shell", shellHandler},
    {"draft", draftHandler},      {"hole", notBuiltYet},       {"sweep", notBuiltYet},
};

}  // namespace

FeatureHandler handlerFor(const std::string& type) {
  for (const auto& [name, handler] : kHandlers) {
    if (type == name) return handler;
  }
  return nullptr;
}

}  // namespace kestrun
