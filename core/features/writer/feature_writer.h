// Turns one feature item into host features: body choice, the handler of its type,
// and the boolean combination with earlier solids.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "features/hole/hole_geometry.h"
#include "features/writer/bool_type.h"
#include "features/writer/feature_dispatch.h"
#include "host/values.h"
#include "partjson/writer.h"

namespace kestrun {

// Where a boolean goes in its target body: after the last feature the import put there,
// or right after the object it operates on (a cut that names the state it cuts).
enum class BoolPlace { BuildOrder, AfterOperated };

class FeatureWriter : public Writer {
 public:
  explicit FeatureWriter(WriterRegistry* registry) : registry_(registry) {}
  ~FeatureWriter() override;

  bool isSketchWriter() const override { return false; }
  void initFromJson(const rapidjson::Value& item) override;
  void parseJson(const rapidjson::Value& item) override;
  host::SpecObjectPtr feature() const override { return specObj_; }
  host::SpecObjectPtr body() const override { return prtTool_; }
  void setBoolType(const std::string& type) override {
    boolType_ = type;
    boolKind_ = parseBoolType(type);
  }
  void setLastFeature(bool last) override { isLastFeature_ = last; }
  FeatureWriter* asFeatureWriter() override { return this; }
  std::vector<Writer*> subWriters() const override;

  // The "boolType" text, for log lines, and its parsed kind, for decisions.
  const std::string& boolType() const { return boolType_; }
  BoolType boolKind() const { return boolKind_; }
  bool isLastFeature() const { return isLastFeature_; }
  host::SpecObjectPtr previousSpecObj() const { return previousSpecObj_; }
  // The body for a combined feature, the feature itself otherwise.
  host::SpecObjectPtr getSpecObjBody() const;

  // Shared services for the handlers.
  host::SpecObjectPtr createPRTTool(const std::string& name);
  void createBool(const host::SpecObjectPtr& firstObject, BoolPlace place = BoolPlace::BuildOrder);
  void boolWith(const host::SpecObjectPtr& previous, FeatureWriter* target);
  host::SpecObjectPtr createAxisLine(const rapidjson::Value& axis);
  host::Status createLength(const std::string& name, double millimetres, host::SpecObjectPtr& out);
  std::vector<Writer*> boolTargets(const rapidjson::Value& item) const;
  std::vector<Writer*> profileSketches(const rapidjson::Value& item) const;

  // Log lines gated by the writer's verbosity: "debug:" at 3 and above, "info:" at 2.
  void debug(const std::string& line) const;
  void info(const std::string& line) const;

  // For the writer's own services (the simple hole cutter): the feature that the next
  // createBool combines, and the body it sits in. Handlers return a FeatureOutcome.
  void setSpecObj(const host::SpecObjectPtr& feature) { specObj_ = feature; }
  void setPrtTool(const host::SpecObjectPtr& body) { prtTool_ = body; }
  void clearPreviousSpecObj() { previousSpecObj_ = nullptr; }
  const host::SpecObjectPtr& specObj() const { return specObj_; }
  // Filled by a hole item that was cut as cylinders; read by circular patterns.
  const HoleGeometry& holeGeometry() const { return holeGeometry_; }
  HoleGeometry& holeGeometry() { return holeGeometry_; }
  WriterRegistry* registry() const { return registry_; }
  // Sub-feature writers that pattern and mirror handlers create; owned here.
  void adoptChild(std::unique_ptr<Writer> child) { children_.push_back(std::move(child)); }
  const std::vector<std::unique_ptr<Writer>>& childWriters() const { return children_; }
  // A writer for one sub-feature of this item, named `name`: it shares the registry and
  // the shared state, takes the item's type and records this writer as its parent. It
  // never runs parseJson; its handler's outcome is given to it by takeOutcome.
  std::unique_ptr<FeatureWriter> makeChild(const std::string& name) const;
  const FeatureWriter* parentWriter() const { return parent_; }
  void takeOutcome(const FeatureOutcome& outcome) { apply(outcome); }

 private:
  std::vector<FeatureWriter*> resolveTargets(const rapidjson::Value& item,
                                             host::SpecObjectPtr& previous);
  void chooseBody(host::SpecObjectPtr& previous);
  bool dispatch(const rapidjson::Value& item, const host::SpecObjectPtr& previous,
                FeatureOutcome& outcome);
  // The one place where a handler's outcome becomes the writer's state.
  void apply(const FeatureOutcome& outcome);
  void finishAfterHandler(const std::vector<FeatureWriter*>& targets,
                          const host::SpecObjectPtr& previous, const FeatureOutcome& outcome);
  void booleanStep(const std::vector<FeatureWriter*>& targets, const host::SpecObjectPtr& previous);
  host::SpecObjectPtr createBooleanFeature(const host::SpecObjectPtr& operated, BoolPlace place);
  host::SpecObjectPtr createBooleanAfter(const host::SpecObjectPtr& first);
  void completeBoolean(const host::SpecObjectPtr& booleanFeature);

  WriterRegistry* registry_;
  host::SpecObjectPtr specObj_, previousSpecObj_, prtTool_;
  std::string boolType_;
  BoolType boolKind_ = BoolType::None;
  bool isLastFeature_ = false;
  HoleGeometry holeGeometry_;
  std::vector<std::unique_ptr<Writer>> children_;
  const FeatureWriter* parent_ = nullptr;
};

}  // namespace kestrun
