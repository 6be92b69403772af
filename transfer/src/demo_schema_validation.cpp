#include "vantrel/demo_schema.h"
#include "vantrel/reply_text.h"

namespace vantrel {
namespace {

// The reply quotes an unknown type; a front end that sends megabytes there gets a few back.
constexpr size_t kMaxQuotedTypeBytes = 64;

DemoSchemaValidation Invalid(std::string message) {
  return DemoSchemaValidation{false, "schema.invalid", std::move(message)};
}

}  // namespace

DemoSchemaValidation ValidateDemoSchema(const DemoSchema& schema) {
  if (schema.schemaVersion != "1") return Invalid("demo schemaVersion must be 1");
  if (schema.units != "mm") return Invalid("demo schema units must be mm");
  if (schema.primitives.empty()) return Invalid("demo schema requires at least one primitive");
  for (const DemoPrimitive& p : schema.primitives) {
    if (p.id.empty()) return Invalid("demo primitive id is required");
    if (p.type == "box") {
      if (!(p.size[0] > 0) || !(p.size[1] > 0) || !(p.size[2] > 0)) {
        return Invalid("box primitive size values must be positive");
      }
    } else if (p.type == "cylinder") {
      if (!(p.radius > 0) || !(p.height > 0)) {
        return Invalid("cylinder primitive radius and height must be positive");
      }
    } else {
      return Invalid("unsupported demo primitive type: " +
                     BoundQuotedText(p.type, kMaxQuotedTypeBytes));
    }
  }
  return DemoSchemaValidation{};
}

}  // namespace vantrel
