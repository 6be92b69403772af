#include "features/boolean/boolean.h"

#include <stdexcept>

#include "features/boolean/boolean_ops.h"
#include "kernel/kernel_guard.h"
#include "occt_host/model/body.h"

namespace occt_host {

namespace {

// The body that holds `node`, or `node` itself when it is a body.
std::shared_ptr<Body> bodyOf(std::shared_ptr<TreeNode> node) {
  for (; node; node = node->parentNode()) {
    if (auto body = toBody(node)) return body;
  }
  return nullptr;
}

std::shared_ptr<TreeNode> rootOf(std::shared_ptr<TreeNode> node) {
  while (node && node->parentNode()) node = node->parentNode();
  return node;
}

}  // namespace

BooleanFeature::BooleanFeature(Kind kind, std::string name)
    : SolidFeature(typeOf(kind), std::move(name)), kind_(kind) {}

const char* BooleanFeature::typeOf(Kind kind) {
  switch (kind) {
    case Kind::Add:
      return "Add";
    case Kind::Remove:
      return "Remove";
    case Kind::Intersect:
      return "Intersect";
  }
  return "Boolean";
}

host::Status BooleanFeature::modifyOperatedObject(const host::SpecObjectPtr& object) {
  return guarded(host::kFail, [&] { return setTool(object); });
}

host::Status BooleanFeature::setTool(const host::SpecObjectPtr& object) {
  auto tool = bodyOf(std::dynamic_pointer_cast<TreeNode>(object));
  auto target = std::dynamic_pointer_cast<Body>(parentNode());
  if (!tool || !target) return host::kInvalidArg;
  if (tool == toolBody()) return host::kOk;
  // The target's own chain would make the body combine with itself.
  if (target->isWithin(tool.get())) return host::kInvalidArg;
  auto father = std::dynamic_pointer_cast<TreeContainer>(tool->parentNode());
  if (!father || std::dynamic_pointer_cast<BooleanFeature>(father)) return host::kInvalidArg;
  host::Status removed = father->removeChild(tool);
  if (host::failed(removed)) return removed;
  releaseTool();
  insertChild(tool, 0);
  return host::kOk;
}

// A replaced tool body goes back to the Part as a body of its own.
void BooleanFeature::releaseTool() {
  auto old = toolBody();
  if (!old) return;
  removeChild(old);
  if (auto part = std::dynamic_pointer_cast<TreeContainer>(rootOf(self()))) part->append(old);
}

std::shared_ptr<Body> BooleanFeature::toolBody() const {
  for (const auto& node : childNodes()) {
    if (auto body = toBody(node)) return body;
  }
  return nullptr;
}

void* BooleanFeature::findInterface(host::InterfaceId id) {
  if (void* found = host::answerAs<host::BooleanOperation, host::Descendants>(this, id))
    return found;
  return SolidFeature::findInterface(id);
}

std::uint64_t BooleanFeature::inputRevision() const {
  auto tool = toolBody();
  return tool ? tool->toolSolidStamp() : 0;
}

TopoDS_Shape BooleanFeature::toolSolid() const {
  auto tool = toolBody();
  if (!tool) throw std::runtime_error(name() + ": no tool body is given");
  TopoDS_Shape solid = tool->toolSolid();
  if (solid.IsNull())
    throw std::runtime_error(name() + ": the tool body " + tool->displayName() + " has no solid");
  return solid;
}

TopoDS_Shape BooleanFeature::build(const TopoDS_Shape& before) {
  TopoDS_Shape tool = toolSolid();
  if (before.IsNull()) {
    if (kind_ == Kind::Add) return tool;
    throw std::runtime_error(name() + ": the body has no solid before it to combine with");
  }
  // The history carries the tool body's faces on, so its features keep their faces.
  FeatureHistory history;
  TopoDS_Shape shape;
  switch (kind_) {
    case Kind::Add:
      shape = booleans::fuse(before, tool, name(), &history.history);
      break;
    case Kind::Remove:
      shape = booleans::cut(before, {tool}, name(), &history.history);
      break;
    case Kind::Intersect:
      shape = booleans::common(before, tool, name(), &history.history);
      break;
  }
  if (shape.IsNull()) throw std::runtime_error(name() + ": unknown boolean operation");
  publishHistory(std::move(history));
  return shape;
}

}  // namespace occt_host
