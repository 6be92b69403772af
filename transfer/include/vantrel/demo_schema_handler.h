// The handler that turns demo schema messages into updates of the active Part.
#pragma once

#include <string>

#include "vantrel/active_part_adapter.h"
#include "vantrel/demo_schema.h"
#include "vantrel/plugin_response.h"
#include "vantrel/transfer_outcome.h"

namespace vantrel {

// Turns a decoded demo schema into an update of the active Part and answers the front end.
class DemoSchemaHandler {
 public:
  explicit DemoSchemaHandler(ActivePartAdapter* adapter) : adapter_(adapter) {}
  virtual ~DemoSchemaHandler() = default;

  // For an update that was not decoded; always refused.
  virtual PluginResponse HandleSchemaUpdate(const std::string& requestId,
                                            const std::string& rawJson);
  PluginResponse HandleDecodedDemoSchema(const std::string& requestId, const DemoSchema& schema);

 private:
  ActivePartAdapter* adapter_;  // not owned
};

GeometryUpdatePlan BuildGeometryUpdatePlan(const DemoSchema& schema);

// The answer to a transfer outcome that carries a demo schema; empty for any other outcome.
std::string DemoSchemaHook(ActivePartAdapter* adapter, const TransferOutcome& outcome);

}  // namespace vantrel
