#include "features/pattern/pattern_factory.h"

#include "features/pattern/mirror.h"
#include "features/pattern/pattern.h"
#include "kernel/kernel_guard.h"
#include "occt_host/model/part.h"

namespace occt_host {

namespace {

// A feature or body of this Part.
bool inPart(const host::SpecObjectPtr& object, const Part& part) {
  auto node = std::dynamic_pointer_cast<TreeNode>(object);
  return node && node.get() != &part && node->isWithin(&part);
}

}  // namespace

host::SpecObjectPtr PatternFactory::createRectPattern(const host::SpecObjectPtr& object,
                                                      const host::RectPatternParams& params) {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    std::vector<gp_Trsf> moves;
    if (!inPart(object, part_) || !rectPatternMoves(params, moves)) return nullptr;
    auto pattern = std::make_shared<RectPatternFeature>(part_.nextName("RectPattern"), object,
                                                        std::move(moves));
    if (host::failed(part_.addFeature(pattern))) return nullptr;
    return pattern;
  });
}

host::SpecObjectPtr PatternFactory::createCircPattern(const host::SpecObjectPtr& object,
                                                      const host::CircPatternParams& params) {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    std::vector<gp_Trsf> moves;
    if (!inPart(object, part_) || !circPatternMoves(params, moves)) return nullptr;
    auto pattern = std::make_shared<CircPatternFeature>(part_.nextName("CircPattern"), object,
                                                        std::move(moves));
    if (host::failed(part_.addFeature(pattern))) return nullptr;
    return pattern;
  });
}

host::SpecObjectPtr PatternFactory::createMirror(const host::SpecObjectPtr& plane) {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    if (!hasPlane(plane)) return nullptr;
    auto mirror = std::make_shared<MirrorFeature>(part_.nextName("Mirror"), plane);
    if (host::failed(part_.addFeature(mirror))) return nullptr;
    return mirror;
  });
}

}  // namespace occt_host
