// The demo schema parser, validation and hook over arbitrary text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "vantrel/demo_schema_handler.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

class AcceptingAdapter : public vantrel::ActivePartAdapter {
 public:
  bool IsAvailable() override { return true; }
  vantrel::GeometryUpdateResult ApplyUpdate(const vantrel::GeometryUpdatePlan& plan) override {
    for (const vantrel::ShapeOperation& op : plan.operations) {
      for (double v : op.origin) Check(std::isfinite(v));
      for (double v : op.size) Check(std::isfinite(v) && v >= 0);
      Check(std::isfinite(op.radius) && std::isfinite(op.height));
    }
    vantrel::GeometryUpdateResult result;
    result.succeeded = true;
    result.createdCount = static_cast<int32_t>(plan.operations.size());
    return result;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  vantrel::DemoSchemaParseResult parsed = vantrel::ParseDemoSchema(text);
  Check(parsed.ok || !parsed.error.empty());
  AcceptingAdapter adapter;
  if (parsed.ok) {
    vantrel::DemoSchemaHandler handler(&adapter);
    handler.HandleDecodedDemoSchema("fuzz", parsed.schema);
  }
  vantrel::TransferOutcome outcome;
  outcome.kind = vantrel::TransferOutcomeKind::Completed;
  outcome.mode = "text";
  outcome.data = text;
  vantrel::DemoSchemaHook(&adapter, outcome);
  return 0;
}
