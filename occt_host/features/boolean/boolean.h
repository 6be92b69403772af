// A boolean feature (stands for the add, remove and intersect features of the original):
// it combines the solid of a tool body into its own body's solid at its place in the
// sequence. The tool body is aggregated under the feature, as the original shows it, so
// it no longer stands as a body of the Part.
#pragma once

#include <memory>
#include <string>

#include "host/part_factory.h"
#include "occt_host/model/solid_feature.h"

namespace occt_host {

class Body;

class BooleanFeature : public SolidFeature, public host::BooleanOperation {
 public:
  enum class Kind { Add, Remove, Intersect };

  BooleanFeature(Kind kind, std::string name);
  static const char* typeOf(Kind kind);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::BooleanOperation: takes the body of `object` as the tool.
  host::Status modifyOperatedObject(const host::SpecObjectPtr& object) override;

  // A negative status leaves the feature as it was: null, an object outside any body, a
  // body of this feature's own chain or one already used by another boolean.
  host::Status setTool(const host::SpecObjectPtr& object);
  std::shared_ptr<Body> toolBody() const;

  RunKind runKind() const override {
    if (kind_ == Kind::Remove) return RunKind::Cut;
    return kind_ == Kind::Add ? RunKind::Fuse : RunKind::None;
  }
  TopoDS_Shape runTool() override { return toolSolid(); }
  bool validFromCleanBooleans() const override { return true; }
  // An add copies its tool body's solid, a remove cuts it; an intersection has none.
  bool contribution(Contribution& out) override {
    if (kind_ == Kind::Intersect) return false;
    out = {{toolSolid()}, kind_ == Kind::Add};
    return true;
  }

 protected:
  void* findInterface(host::InterfaceId id) override;
  TopoDS_Shape build(const TopoDS_Shape& before) override;
  std::uint64_t inputRevision() const override;

 private:
  TopoDS_Shape toolSolid() const;
  void releaseTool();

  Kind kind_;
};

}  // namespace occt_host
