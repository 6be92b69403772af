#include "features/boolean/boolean_factory.h"

#include "kernel/kernel_guard.h"
#include "occt_host/model/body.h"
#include "occt_host/model/part.h"

namespace occt_host {

namespace {

struct Place {
  std::shared_ptr<Body> body;
  std::size_t index = 0;
};

// Right after the child of the body that is or holds `operated`; the end of the body
// when `operated` is the body itself.
Place placeAfter(std::shared_ptr<TreeNode> operated) {
  std::shared_ptr<TreeNode> anchor;
  for (auto node = operated; node; anchor = node, node = node->parentNode()) {
    auto body = std::dynamic_pointer_cast<Body>(node);
    if (!body) continue;
    std::size_t index = anchor ? body->indexOf(anchor.get()) + 1 : body->childNodes().size();
    return {body, index};
  }
  return {};
}

}  // namespace

host::SpecObjectPtr BooleanFactory::createAdd(const host::SpecObjectPtr& operated,
                                              const host::SpecObjectPtr& tool) {
  return create(BooleanFeature::Kind::Add, operated, tool);
}

host::SpecObjectPtr BooleanFactory::createRemove(const host::SpecObjectPtr& operated,
                                                 const host::SpecObjectPtr& tool) {
  return create(BooleanFeature::Kind::Remove, operated, tool);
}

host::SpecObjectPtr BooleanFactory::createIntersect(const host::SpecObjectPtr& operated,
                                                    const host::SpecObjectPtr& tool) {
  return create(BooleanFeature::Kind::Intersect, operated, tool);
}

// A tool that cannot be taken leaves no feature behind.
host::SpecObjectPtr BooleanFactory::create(BooleanFeature::Kind kind,
                                           const host::SpecObjectPtr& operated,
                                           const host::SpecObjectPtr& tool) noexcept {
  return guarded(nullptr, [&]() -> host::SpecObjectPtr {
    auto node = std::dynamic_pointer_cast<TreeNode>(operated);
    if (!node || !node->isWithin(&part_)) return nullptr;
    Place place = placeAfter(node);
    if (!place.body) return nullptr;
    auto feature =
        std::make_shared<BooleanFeature>(kind, part_.nextName(BooleanFeature::typeOf(kind)));
    place.body->insertChild(feature, place.index);
    if (tool && host::failed(feature->setTool(tool))) {
      place.body->removeChild(feature);
      return nullptr;
    }
    return feature;
  });
}

}  // namespace occt_host
