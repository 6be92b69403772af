// The sketch geometry readers over arbitrary JSON: each element of "geometries" (or of a
// root array) is drawn into an open sketch of the Open CASCADE host, which then builds
// its profiles.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include <rapidjson/document.h>

#include "host/document.h"
#include "host/part.h"
#include "host/part_factory.h"
#include "host/sketch.h"
#include "log/core_log.h"
#include "occt_host/kernel/operation_budget.h"
#include "occt_host/session/session.h"
#include "sketch/sketch_geometry.h"
#include "sketch/sketch_json.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

const rapidjson::Value* geometriesOf(const rapidjson::Value& root) {
  if (root.IsArray()) return &root;
  if (!root.IsObject()) return nullptr;
  const rapidjson::Value* list = kestrun::member(root, "geometries");
  return list && list->IsArray() ? list : nullptr;
}

std::shared_ptr<host::Unknown> containerOf(const std::shared_ptr<host::Document>& doc) {
  auto roots = host::query<host::DocumentRoots>(doc);
  return roots ? roots->rootContainer("CATIPrtContainer") : nullptr;
}

// A pad of the sketch makes the kernel build its profile faces.
void padIt(const std::shared_ptr<host::Unknown>& container, const host::SpecObjectPtr& sketch) {
  auto features = host::query<host::PartFactory>(container);
  auto feature = features ? features->createPad(sketch) : nullptr;
  auto prism = host::query<host::Pad>(feature);
  if (!prism) return;
  prism->setLimitType(host::LimitEnd::First, host::kLimitLength);
  prism->setLimitLength(host::LimitEnd::First, 10);
  host::UpdateResult padded = feature->update();
  Check(padded.ok() || !padded.diagnostic.empty());
}

}  // namespace

// The core's diagnostic lines would cost more than the drawing itself.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  kestrun::setLogSink([](kestrun::LogLevel, std::string_view) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static occt_host::testing::ScopedBudget budget(2.0);
  rapidjson::Document root;
  root.Parse<rapidjson::kParseStopWhenDoneFlag>(reinterpret_cast<const char*>(data), size);
  if (root.HasParseError()) return 0;
  const rapidjson::Value* list = geometriesOf(root);
  if (!list) return 0;
  occt_host::Session session;
  auto document = session.newDocument("Part");
  auto container = containerOf(document);
  auto factory = host::query<host::SketchFactory>(container);
  Check(factory != nullptr);
  auto sketch = factory->createSketch({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  auto edition = host::query<host::Sketch>(sketch);
  auto factory2d = host::query<host::Factory2D>(sketch);
  Check(edition && factory2d);
  edition->openEdition();
  kestrun::SketchGeometry geometry(factory2d, 0);
  for (const rapidjson::Value& element : list->GetArray()) geometry.add(element);
  edition->closeEdition();
  host::UpdateResult updated = sketch->update();
  Check(updated.ok() || !updated.diagnostic.empty());
  padIt(container, sketch);
  return 0;
}
