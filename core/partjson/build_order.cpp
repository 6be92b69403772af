#include "partjson/build_order.h"

namespace kestrun {

namespace {

const void* identity(const host::SpecObjectPtr& object) {
  return object ? object->queryInterface(host::kUnknownId).get() : nullptr;
}

}  // namespace

host::SpecObjectPtr BuildOrder::lastIn(const host::SpecObjectPtr& body) const {
  auto it = last_.find(identity(body));
  if (it == last_.end()) return nullptr;
  host::SpecObjectPtr owner = it->second.body.lock();
  host::SpecObjectPtr feature = it->second.feature.lock();
  // A feature that was moved or removed since no longer marks the body's end.
  if (!owner || !feature || !host::sameObject(owner, body)) return nullptr;
  return host::sameObject(feature->father(), body) ? feature : nullptr;
}

BuildOrder::Placement BuildOrder::placeNext(host::Part& part) const {
  Placement placement;
  host::SpecObjectPtr anchor = lastIn(part.currentTool());
  if (!anchor) return placement;
  host::SpecObjectPtr current = part.currentFeature();
  if (!current || host::sameObject(current, anchor)) return placement;
  if (host::failed(part.setCurrentFeature(anchor))) return placement;
  placement.was = current;
  placement.anchor = anchor;
  return placement;
}

void BuildOrder::placed(host::Part& part, const Placement& placement,
                        const host::SpecObjectPtr& made) {
  note(made);
  // A host that made nothing, or did not make it current, leaves the old current feature.
  if (placement.was && host::sameObject(part.currentFeature(), placement.anchor))
    part.setCurrentFeature(placement.was);
}

host::SpecObjectPtr BuildOrder::operatedFor(const host::SpecObjectPtr& operated) const {
  if (!operated) return operated;
  if (host::SpecObjectPtr anchor = lastIn(operated)) return anchor;
  if (host::SpecObjectPtr anchor = lastIn(operated->father())) return anchor;
  return operated;
}

void BuildOrder::note(const host::SpecObjectPtr& made) {
  if (!made) return;
  host::SpecObjectPtr body = made->father();
  if (!body) return;
  last_[identity(body)] = Last{body, made};
}

}  // namespace kestrun
