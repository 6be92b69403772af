#include "features/writer/feature_dispatch.h"

#include <utility>

#include "features/sweep/sweep_handlers.h"
#include "features/writer/feature_handlers.h"
#include "features/writer/feature_writer.h"

namespace kestrun {

namespace {

// In the order the types are tested.
const std::pair<const char*, FeatureHandler> kHandlers[] = {
    {"extrude", extrudeHandler},     {"rotate", rotateHandler},
    {"loft", loftHandler},           {"fillet", filletHandler},
    {"chamfer", chamferHandler},     {"mirrorFeature", mirrorHandler},
    {"linearArray", patternHandler}, {"polarArray", patternHandler},
    {"shell", shellHandler},         {"draft", draftHandler},
    {"hole", holeHandler},           {"sweep", sweepHandler},
};

}  // namespace

FeatureHandler handlerFor(const std::string& type) {
  for (const auto& [name, handler] : kHandlers) {
    if (type == name) return handler;
  }
  return nullptr;
}

}  // namespace kestrun
