#include "features/pattern/feature_copies.h"

#include <BRepBuilderAPI_Transform.hxx>

#include <stdexcept>

#include "features/boolean/boolean_ops.h"
#include "occt_host/model/body.h"
#include "occt_host/model/solid_feature.h"

namespace occt_host {

namespace {

std::shared_ptr<Body> bodyHolding(std::shared_ptr<TreeNode> node) {
  for (; node; node = node->parentNode()) {
    if (auto body = std::dynamic_pointer_cast<Body>(node)) return body;
  }
  return nullptr;
}

// The whole solid of the body that holds `node`: the solid before `owner` when that is
// the owner's own body, whose later solid would include the owner itself.
TopoDS_Shape wholeSolid(const std::shared_ptr<TreeNode>& node, TreeNode& owner,
                        const TopoDS_Shape& before) {
  auto body = bodyHolding(node);
  if (!body) throw std::runtime_error(owner.name() + ": the object to copy is in no body");
  TopoDS_Shape solid = owner.isWithin(body.get()) ? before : body->solid();
  if (solid.IsNull())
    throw std::runtime_error(owner.name() + ": the body " + body->displayName() +
                             " has no solid to copy");
  return solid;
}

void mergeInto(Handle(BRepTools_History) & into, const Handle(BRepTools_History) & next) {
  if (next.IsNull()) return;
  if (into.IsNull()) {
    into = next;
  } else {
    into->Merge(next);
  }
}

}  // namespace

CopySource copySourceOf(const host::SpecObjectPtr& object, TreeNode& owner,
                        const TopoDS_Shape& before) {
  auto node = std::dynamic_pointer_cast<TreeNode>(object);
  if (!node) throw std::runtime_error(owner.name() + ": the object to copy no longer exists");
  if (auto feature = std::dynamic_pointer_cast<SolidFeature>(node)) {
    SolidFeature::Contribution contribution;
    if (feature.get() != &owner && feature->contribution(contribution)) {
      for (const TopoDS_Shape& shape : contribution.shapes) {
        if (shape.IsNull())
          throw std::runtime_error(owner.name() + ": " + feature->displayName() +
                                   " has no shape to copy");
      }
      return {contribution.shapes, contribution.adds};
    }
  }
  return {{wholeSolid(node, owner, before)}, true};
}

// Copies of their own: copies that shared the source's edges under other locations would
// pile every copy's curves onto each shared edge, and the union would slow down with the
// square of their number.
TopoDS_Shape placedCopy(const TopoDS_Shape& shape, const gp_Trsf& placement) {
  return BRepBuilderAPI_Transform(shape, placement, true).Shape();
}

TopoDS_Shape combineCopies(const TopoDS_Shape& before, const std::vector<TopoDS_Shape>& adds,
                           const std::vector<TopoDS_Shape>& removes, const std::string& owner,
                           FeatureHistory& history) {
  TopoDS_Shape shape = before;
  std::vector<TopoDS_Shape> tools = adds;
  if (shape.IsNull() && !tools.empty()) {
    shape = tools.front();
    tools.erase(tools.begin());
  }
  if (!tools.empty()) {
    Handle(BRepTools_History) fused;
    shape = booleans::fuseAll(shape, tools, owner, &fused);
    mergeInto(history.history, fused);
  }
  if (!removes.empty()) {
    if (shape.IsNull())
      throw std::runtime_error(owner + ": the body has no solid before it to cut");
    Handle(BRepTools_History) cut;
    shape = booleans::cut(shape, removes, owner, &cut);
    mergeInto(history.history, cut);
  }
  if (shape.IsNull()) throw std::runtime_error(owner + ": there is nothing to copy");
  return shape;
}

}  // namespace occt_host
