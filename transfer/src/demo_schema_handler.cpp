#include "vantrel/demo_schema_handler.h"

#include "vantrel/json_field_readers.h"
#include "vantrel/transfer_mode.h"

namespace vantrel {
namespace {

constexpr char kTransferRequestId[] = "webview-transfer";

ShapeOperation OperationFor(const DemoPrimitive& p) {
  ShapeOperation op;
  op.kind = p.type == "cylinder" ? kShapeKindCylinder : kShapeKindBox;
  op.id = p.id;
  for (int i = 0; i < 3; ++i) op.origin[i] = p.origin[i];
  if (op.kind == kShapeKindBox) {
    for (int i = 0; i < 3; ++i) op.size[i] = p.size[i];
  } else {
    op.radius = p.radius;
    op.height = p.height;
  }
  return op;
}

}  // namespace

GeometryUpdatePlan BuildGeometryUpdatePlan(const DemoSchema& schema) {
  GeometryUpdatePlan plan;
  plan.updateMode = kUpdateModeFullRedraw;
  for (const DemoPrimitive& primitive : schema.primitives) {
    plan.operations.push_back(OperationFor(primitive));
  }
  return plan;
}

PluginResponse DemoSchemaHandler::HandleSchemaUpdate(const std::string& requestId,
                                                     const std::string&) {
  return MakeErrorPluginResponse(requestId, "schema.invalid",
                                 "raw schema:update JSON parsing is not wired; decode JSON before "
                                 "calling HandleDecodedDemoSchema");
}

PluginResponse DemoSchemaHandler::HandleDecodedDemoSchema(const std::string& requestId,
                                                          const DemoSchema& schema) {
  DemoSchemaValidation validation = ValidateDemoSchema(schema);
  if (!validation.ok) {
    return MakeErrorPluginResponse(requestId, validation.code, validation.message);
  }
  GeometryUpdatePlan plan = BuildGeometryUpdatePlan(schema);
  if (adapter_ == nullptr || !adapter_->IsAvailable()) {
    return MakeErrorPluginResponse(requestId, "catia.noActivePart",
                                   "CATIA active Part is not available");
  }
  GeometryUpdateResult result = adapter_->ApplyUpdate(plan);
  if (!result.succeeded) {
    return MakeErrorPluginResponse(
        requestId, result.errorCode.empty() ? "catia.updateFailed" : result.errorCode,
        result.errorMessage.empty() ? "CATIA geometry update failed" : result.errorMessage);
  }
  return MakeOkPluginResponse(requestId,
                              "{\"updatedDocument\":\"active-part\",\"updateMode\":\"full-redraw\","
                              "\"createdCount\":" +
                                  std::to_string(result.createdCount) +
                                  ",\"deletedCount\":" + std::to_string(result.deletedCount) + "}");
}

std::string DemoSchemaHook(ActivePartAdapter* adapter, const TransferOutcome& outcome) {
  try {
    if (outcome.kind != TransferOutcomeKind::Completed ||
        ParseTransferMode(outcome.mode) != TransferMode::Text) {
      return "";
    }
    size_t first = SkipJsonWhitespace(outcome.data, 0);
    if (first >= outcome.data.size() || outcome.data[first] != '{') return "";
    DemoSchemaParseResult parsed = ParseDemoSchema(outcome.data);
    if (!parsed.ok) {
      return SerializePluginResponse(MakeErrorPluginResponse(
          kTransferRequestId, "schema.invalid",
          parsed.error.empty() ? "demo schema JSON is invalid" : parsed.error));
    }
    DemoSchemaHandler handler(adapter);
    return SerializePluginResponse(
        handler.HandleDecodedDemoSchema(kTransferRequestId, parsed.schema));
  } catch (...) {
    // An adapter fault or an allocation failure: answer as a failed update.
    try {
      return SerializePluginResponse(MakeErrorPluginResponse(
          kTransferRequestId, "catia.updateFailed", "CATIA geometry update failed"));
    } catch (...) {
      return "";
    }
  }
}

}  // namespace vantrel
