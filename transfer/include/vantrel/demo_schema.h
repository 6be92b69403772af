// The demo schema: its primitives, and how its JSON is parsed and checked.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

struct DemoPrimitive {
  std::string id;
  std::string type;
  double origin[3] = {0, 0, 0};
  double size[3] = {0, 0, 0};
  double radius = 0;
  double height = 0;
};

struct DemoSchema {
  std::string schemaVersion = "1";
  std::string units = "mm";
  std::vector<DemoPrimitive> primitives;
};

struct DemoSchemaParseResult {
  bool ok = false;
  DemoSchema schema;
  std::string error;
};

struct DemoSchemaValidation {
  bool ok = true;
  std::string code;
  std::string message;
};

// Reads a demo schema by searching the text for its keys.
DemoSchemaParseResult ParseDemoSchema(std::string_view text);
DemoSchemaValidation ValidateDemoSchema(const DemoSchema& schema);

}  // namespace vantrel
