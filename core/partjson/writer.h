// What the pipeline knows of a sketch or feature writer.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <rapidjson/document.h>

#include "host/part.h"
#include "host/part_factory.h"
#include "host/status.h"
#include "host/wireframe.h"

namespace kestrun {

class BuildOrder;
class FeatureWriter;

// State that the pipeline copies into every writer it creates.
struct SharedWriterState {
  std::shared_ptr<host::PartContainer> container;
  host::SpecObjectPtr partObject;
  std::shared_ptr<host::Part> part;
  std::shared_ptr<host::BooleanFactory> booleanFactory;
  std::shared_ptr<host::Unknown> brepFactory;
  std::shared_ptr<host::WireframeFactory> wireframeFactory;
  host::SpecObjectPtr referenceSet;        // geometrical set for hidden reference objects
  std::shared_ptr<BuildOrder> buildOrder;  // one per import; null outside an import
  int verbosity = 3;
};

class Writer {
 public:
  virtual ~Writer() = default;

  virtual bool isSketchWriter() const = 0;
  // Reads "id", "name" and "type" when they are strings.
  virtual void initFromJson(const rapidjson::Value& item);
  virtual void parseJson(const rapidjson::Value& item) = 0;
  // What the item produced (a sketch, a feature), or null.
  virtual host::SpecObjectPtr feature() const = 0;
  // The body that holds the feature, where the writer knows one.
  virtual host::SpecObjectPtr body() const { return nullptr; }
  // Feature writers: the boolean type and the last-feature mark set by the pipeline.
  virtual void setBoolType(const std::string&) {}
  virtual void setLastFeature(bool) {}
  // Sketch writers: whether the sketch goes on a plane feature; whether it exists yet.
  virtual void setNeedPlaneForSketch(bool) {}
  virtual bool hasSketch() const { return false; }
  // Sketch writers: the sketch, null until parseJson made it.
  virtual host::SpecObjectPtr sketchObject() const { return nullptr; }
  // Sketch writers: the plane the sketch stands on; null for absolute axes.
  virtual host::SpecObjectPtr sketchSupport() const { return nullptr; }
  // Feature writers: themselves, so that callers need no cast between writer kinds.
  virtual FeatureWriter* asFeatureWriter() { return nullptr; }
  // Writers that hold sub-writers (patterns, mirrors): those, in order.
  virtual std::vector<Writer*> subWriters() const { return {}; }
  // Sketch writers: the first circle of the item in 3D; false when there is none.
  virtual bool firstCircle3D(host::Point3& center, double& radius) const {
    (void)center, (void)radius;
    return false;
  }

  // The item this writer was made for; it lives as long as the import's document.
  void setItem(const rapidjson::Value* item) { item_ = item; }
  const rapidjson::Value* item() const { return item_; }
  void setSharedState(const SharedWriterState& state) { shared_ = state; }
  const SharedWriterState& sharedState() const { return shared_; }
  const std::string& id() const { return id_; }
  const std::string& name() const { return name_; }
  const std::string& type() const { return type_; }
  void setName(const std::string& name) { name_ = name; }
  host::Status status() const { return status_; }
  const std::string& warningText() const { return warning_; }
  // Why the item, though built, did not do what it was asked (a shell none of whose given
  // faces were found is closed); empty when nothing says so. The report shows it.
  const std::string& noEffectNote() const { return noEffect_; }
  void noteNoEffect(std::string why) { noEffect_ = std::move(why); }

 protected:
  SharedWriterState shared_;
  const rapidjson::Value* item_ = nullptr;
  std::string id_, name_, type_;
  host::Status status_ = host::kOk;
  std::string warning_;
  std::string noEffect_;
};

// Writers by item id, ordered byte-wise; owned by the pipeline for one import.
using WriterRegistry = std::map<std::string, std::unique_ptr<Writer>>;

}  // namespace kestrun
