#include <gmock/gmock.h>

#include <fstream>
#include <iterator>

#include "vantrel/demo_schema_handler.h"

using namespace vantrel;

namespace {

std::string ReadData(const std::string& name) {
  std::ifstream in(std::string(TRANSFER_TEST_DATA) + "/demo_schema/" + name, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_FALSE(text.empty()) << name;
  return text;
}

TransferOutcome CompletedText(const std::string& data) {
  TransferOutcome outcome;
  outcome.kind = TransferOutcomeKind::Completed;
  outcome.mode = "text";
  outcome.data = data;
  return outcome;
}

std::string ErrorResponse(const std::string& code, const std::string& message) {
  return "{\"id\":\"webview-transfer\",\"type\":\"plugin:response\",\"ok\":false,\"error\":"
         "{\"code\":\"" +
         code + "\",\"message\":\"" + message + "\"}}";
}

class RecordingAdapter : public ActivePartAdapter {
 public:
  bool IsAvailable() override { return available; }
  GeometryUpdateResult ApplyUpdate(const GeometryUpdatePlan& plan) override {
    plans.push_back(plan);
    return result;
  }
  bool available = true;
  GeometryUpdateResult result;
  std::vector<GeometryUpdatePlan> plans;
};

}  // namespace

TEST(ParseDemoSchema, ReadsBoxesAndCylinders) {
  DemoSchemaParseResult parsed = ParseDemoSchema(ReadData("box_and_cylinder.json"));
  ASSERT_TRUE(parsed.ok) << parsed.error;
  ASSERT_EQ(parsed.schema.primitives.size(), 2u);
  const DemoPrimitive& box = parsed.schema.primitives[0];
  EXPECT_EQ(box.id, "base");
  EXPECT_EQ(box.type, "box");
  EXPECT_DOUBLE_EQ(box.size[1], 60.5);
  const DemoPrimitive& cylinder = parsed.schema.primitives[1];
  EXPECT_EQ(cylinder.id, "boss \"1\"");
  EXPECT_DOUBLE_EQ(cylinder.origin[2], 10);
  EXPECT_DOUBLE_EQ(cylinder.radius, 12.5);
  EXPECT_DOUBLE_EQ(cylinder.height, 20);
  EXPECT_TRUE(ValidateDemoSchema(parsed.schema).ok);
}

// Each file of the negative corpus with the message its parse or validation gives.
TEST(DemoSchemaCorpus, EveryInvalidSchemaGetsItsMessage) {
  const std::pair<const char*, const char*> cases[] = {
      {"version_as_number.json", "demo schema requires schemaVersion and units"},
      {"version_two.json", "demo schemaVersion must be 1"},
      {"no_primitives.json", "demo schema requires at least one primitive"},
      {"origin_without_z.json", "origin requires x, y and z numbers"},
      {"cylinder_radius_zero.json", "cylinder primitive radius and height must be positive"},
      {"box_size_y_zero.json", "box primitive size values must be positive"},
      {"sphere.json", "unsupported demo primitive type: sphere"},
      {"primitives_not_objects.json", "demo schema primitives array is invalid"},
      {"primitives_numbers.json", "demo schema primitives array is invalid"},
      {"primitives_object.json", "demo schema requires primitives array"},
      {"primitive_without_id.json", "demo primitive requires id and type"},
      {"origin_as_array.json", "demo primitive requires origin"},
      {"box_without_size.json", "box primitive requires size"},
      {"cylinder_radius_string.json", "cylinder primitive requires radius and height"},
      {"origin_nan.json", "origin requires x, y and z numbers"},
      {"size_infinite.json", "size requires x, y and z numbers"},
      {"unbalanced.json", "demo schema requires primitives array"},
      {"empty_id.json", "demo primitive id is required"},
      {"bracket_in_string_and_overflow.json", "size requires x, y and z numbers"},
  };
  for (const auto& [file, message] : cases) {
    std::string answer = DemoSchemaHook(nullptr, CompletedText(ReadData(file)));
    EXPECT_EQ(answer, ErrorResponse("schema.invalid", message)) << file;
  }
}

TEST(ParseDemoSchema, NumbersIgnoreTheProcessLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous != nullptr ? previous : "C";
  bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  DemoSchemaParseResult parsed = ParseDemoSchema(ReadData("box_and_cylinder.json"));
  std::setlocale(LC_NUMERIC, saved.c_str());
  ASSERT_TRUE(parsed.ok);
  EXPECT_DOUBLE_EQ(parsed.schema.primitives[0].size[1], 60.5) << (german ? "de_DE" : "C");
}

TEST(ParseDemoSchema, DeepNestingAndHugeArraysStayBounded) {
  std::string deep =
      "{\"schemaVersion\":\"1\",\"units\":\"mm\",\"primitives\":" + std::string(200000, '[') +
      std::string(200000, ']') + "}";
  EXPECT_EQ(ParseDemoSchema(deep).error, "demo schema primitives array is invalid");
  std::string many = "{\"schemaVersion\":\"1\",\"units\":\"mm\",\"primitives\":[";
  for (int i = 0; i < 20000; ++i) {
    if (i > 0) many += ",";
    many +=
        "{\"id\":\"p\",\"type\":\"box\",\"origin\":{\"x\":0,\"y\":0,\"z\":0},\"size\":{\"x\":1,"
        "\"y\":1,\"z\":1}}";
  }
  many += "]}";
  DemoSchemaParseResult parsed = ParseDemoSchema(many);
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.schema.primitives.size(), 20000u);
}

TEST(DemoSchemaHook, AnswersOnlyCompletedTextThatStartsWithABrace) {
  std::string valid = ReadData("box_and_cylinder.json");
  EXPECT_EQ(DemoSchemaHook(nullptr, CompletedText("[1,2]")), "");
  EXPECT_EQ(DemoSchemaHook(nullptr, CompletedText("schema")), "");
  EXPECT_EQ(DemoSchemaHook(nullptr, CompletedText("")), "");
  TransferOutcome json = CompletedText(valid);
  json.mode = "json";
  EXPECT_EQ(DemoSchemaHook(nullptr, json), "");
  TransferOutcome accepted = CompletedText(valid);
  accepted.kind = TransferOutcomeKind::Accepted;
  EXPECT_EQ(DemoSchemaHook(nullptr, accepted), "");
  EXPECT_EQ(DemoSchemaHook(nullptr, CompletedText(" \r\n{}")),
            ErrorResponse("schema.invalid", "demo schema requires schemaVersion and units"));
}

TEST(DemoSchemaHook, ValidSchemaWithTheUnwiredAdapterHasNoActivePart) {
  UnwiredActivePartAdapter unwired;
  EXPECT_EQ(DemoSchemaHook(&unwired, CompletedText(ReadData("box_and_cylinder.json"))),
            ErrorResponse("catia.noActivePart", "CATIA active Part is not available"));
  EXPECT_EQ(DemoSchemaHook(nullptr, CompletedText(ReadData("box_and_cylinder.json"))),
            ErrorResponse("catia.noActivePart", "CATIA active Part is not available"));
  GeometryUpdateResult direct = unwired.ApplyUpdate(GeometryUpdatePlan{});
  EXPECT_FALSE(direct.succeeded);
  EXPECT_EQ(direct.errorCode, "catia.noActivePart");
  EXPECT_EQ(direct.errorMessage, "CATIA CAA active Part adapter is not wired.");
  EXPECT_EQ(unwired.ClearAll().errorCode, "catia.noActivePart");
}

TEST(DemoSchemaHandler, AWorkingAdapterReceivesThePlanInPrimitiveOrder) {
  RecordingAdapter adapter;
  adapter.result.succeeded = true;
  adapter.result.createdCount = 2;
  adapter.result.deletedCount = 5;
  std::string answer = DemoSchemaHook(&adapter, CompletedText(ReadData("box_and_cylinder.json")));
  EXPECT_EQ(answer,
            "{\"id\":\"webview-transfer\",\"type\":\"plugin:response\",\"ok\":true,"
            "\"result\":{\"updatedDocument\":\"active-part\",\"updateMode\":\"full-redraw\","
            "\"createdCount\":2,\"deletedCount\":5}}");
  ASSERT_EQ(adapter.plans.size(), 1u);
  const GeometryUpdatePlan& plan = adapter.plans[0];
  EXPECT_EQ(plan.updateMode, kUpdateModeFullRedraw);
  ASSERT_EQ(plan.operations.size(), 2u);
  EXPECT_EQ(plan.operations[0].kind, kShapeKindBox);
  EXPECT_DOUBLE_EQ(plan.operations[0].size[0], 100);
  EXPECT_DOUBLE_EQ(plan.operations[0].radius, 0);
  EXPECT_EQ(plan.operations[1].kind, kShapeKindCylinder);
  EXPECT_EQ(plan.operations[1].id, "boss \"1\"");
  EXPECT_DOUBLE_EQ(plan.operations[1].origin[0], 50);
  EXPECT_DOUBLE_EQ(plan.operations[1].size[0], 0);
  EXPECT_DOUBLE_EQ(plan.operations[1].height, 20);
}

TEST(DemoSchemaHandler, FailedUpdatesAndUnavailablePartsAnswerErrors) {
  RecordingAdapter adapter;
  DemoSchemaHandler handler(&adapter);
  DemoSchema schema = ParseDemoSchema(ReadData("box_and_cylinder.json")).schema;
  PluginResponse failed = handler.HandleDecodedDemoSchema("req", schema);
  EXPECT_EQ(failed.code, "catia.updateFailed");
  EXPECT_EQ(failed.message, "CATIA geometry update failed");
  adapter.result.errorCode = "host.busy";
  adapter.result.errorMessage = "busy";
  EXPECT_EQ(handler.HandleDecodedDemoSchema("req", schema).code, "host.busy");
  adapter.available = false;
  EXPECT_EQ(handler.HandleDecodedDemoSchema("req", schema).code, "catia.noActivePart");
  EXPECT_EQ(adapter.plans.size(), 2u);
  DemoSchema invalid = schema;
  invalid.units = "cm";
  adapter.available = true;
  PluginResponse refused = handler.HandleDecodedDemoSchema("req", invalid);
  EXPECT_EQ(refused.message, "demo schema units must be mm");
  EXPECT_EQ(adapter.plans.size(), 2u);  // validation failures never reach the adapter
  PluginResponse raw = handler.HandleSchemaUpdate("raw-1", "{}");
  EXPECT_EQ(SerializePluginResponse(raw),
            "{\"id\":\"raw-1\",\"type\":\"plugin:response\",\"ok\":false,\"error\":{\"code\":"
            "\"schema.invalid\",\"message\":\"raw schema:update JSON parsing is not wired; decode "
            "JSON before calling HandleDecodedDemoSchema\"}}");
}
