// Keeps each body's features in the order the import built them. The host puts a new
// feature after the current one, and an item without a boolean type makes the feature
// that was current before it current again; left alone, every later item would land in
// front of it. So, right before the host makes a feature in a body, the last feature
// this import put in that body is made current, and what the old rule made current is
// kept everywhere else: in the log, in the body choice, and after the import.
#pragma once

#include <map>
#include <memory>

#include "host/part.h"
#include "host/spec_object.h"
#include "partjson/writer.h"

namespace kestrun {

class BuildOrder {
 public:
  // What placeNext changed, for placed to undo when the host made nothing.
  struct Placement {
    host::SpecObjectPtr was, anchor;
  };

  // Makes the last feature this import put in the current body current.
  Placement placeNext(host::Part& part) const;
  // Notes `made` as the last feature of its body; without it, restores the current feature.
  void placed(host::Part& part, const Placement& placement, const host::SpecObjectPtr& made);
  // The object that a boolean operating on `operated` goes after: the last feature this
  // import put in the body that is or holds `operated`, else `operated` itself.
  host::SpecObjectPtr operatedFor(const host::SpecObjectPtr& operated) const;
  // Notes a feature that the host placed by itself (a boolean after its operated object).
  void note(const host::SpecObjectPtr& made);

 private:
  struct Last {
    std::weak_ptr<host::SpecObject> body, feature;
  };
  // The last feature this import put in `body`, while it is still there.
  host::SpecObjectPtr lastIn(const host::SpecObjectPtr& body) const;

  std::map<const void*, Last> last_;  // by the body's identity
};

// Runs `make`, a host call that creates a feature after the current one, at the end of
// what this import put in the current body.
template <class Make>
host::SpecObjectPtr inBuildOrder(const SharedWriterState& state, Make&& make) {
  if (!state.buildOrder || !state.part) return make();
  const BuildOrder::Placement placement = state.buildOrder->placeNext(*state.part);
  host::SpecObjectPtr made = make();
  state.buildOrder->placed(*state.part, placement, made);
  return made;
}

}  // namespace kestrun
