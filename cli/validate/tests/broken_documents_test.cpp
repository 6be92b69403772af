// Broken documents of the kinds language models write, each with the problem `kestrun
// validate` must name: where (the JSON pointer) and the fix it suggests.
#include <string>

#include <gtest/gtest.h>

#include "cli/validate/validate.h"

namespace {

using kestrun_validate::Problem;
using kestrun_validate::validateText;
using kestrun_validate::Validation;

// A 100 x 60 rectangle on the XY plane, item 0 of every part below.
const std::string kRectangle =
    R"({"type":"sketch","id":"s1","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"geometries":[)"
    R"({"type":"line","x1":0,"y1":0,"x2":100,"y2":0},{"type":"line","x1":100,"y1":0,"x2":100,"y2":60},)"
    R"({"type":"line","x1":100,"y1":60,"x2":0,"y2":60},{"type":"line","x1":0,"y1":60,"x2":0,"y2":0}]})";
// The same rectangle pad, item 1.
const std::string kPad = R"({"type":"extrude","id":"e1","sketchId":"s1","n1Height":10})";

std::string part(const std::string& items, const std::string& extra = "") {
  return R"({"flatNode":[)" + kRectangle + "," + items + "]" + extra + "}";
}

std::string withPad(const std::string& items) {
  return part(kPad + "," + items);
}

struct Case {
  const char* name;
  std::string document;
  const char* pointer;     // the problem expected at this pointer
  const char* suggestion;  // contained in its suggestion ("" when none is expected)
  int exitStatus;
};

const Case kCases[] = {
    {"height_for_n1Height", part(R"({"type":"extrude","id":"e1","sketches":["s1"],"height":10})"),
     "/flatNode/1/height", "did you mean \"n1Height\"?", 1},
    {"length_for_n1Height", part(R"({"type":"extrude","id":"e1","sketchId":"s1","length":10})"),
     "/flatNode/1/length", "did you mean \"n1Height\"?", 1},
    {"key_in_other_case", part(R"({"type":"extrude","id":"e1","sketchId":"s1","N1height":10})"),
     "/flatNode/1/N1height", "did you mean \"n1Height\"?", 1},
    {"number_as_string", part(R"({"type":"extrude","id":"e1","sketchId":"s1","n1Height":"8"})"),
     "/flatNode/1/n1Height", "write 8 without quotes", 1},
    {"number_with_unit", part(R"({"type":"extrude","id":"e1","sketchId":"s1","n1Height":"8mm"})"),
     "/flatNode/1/n1Height", "write 8 (in mm", 1},
    {"boolean_as_string",
     part(R"({"type":"extrude","id":"e1","sketchId":"s1","n1Height":8,"contrary":"true"})"),
     "/flatNode/1/contrary", "write true without quotes", 1},
    {"id_list_as_string", part(R"({"type":"extrude","id":"e1","sketches":"s1","n1Height":8})"),
     "/flatNode/1/sketches", "write [\"s1\"]", 1},
    {"missing_sketch", part(R"({"type":"extrude","id":"e1","sketchId":"s2","n1Height":8})"),
     "/flatNode/1/sketchId", "did you mean \"s1\"?", 1},
    {"sketch_id_in_other_case",
     part(R"({"type":"extrude","id":"e1","sketches":["S1"],"n1Height":8})"),
     "/flatNode/1/sketches/0", "did you mean \"s1\"?", 1},
    {"sketch_id_naming_a_feature",
     withPad(R"({"type":"extrude","id":"e2","sketchId":"e1","n1Height":8})"),
     "/flatNode/2/sketchId", "did you mean \"s1\"?", 1},
    {"type_in_other_case", part(R"({"type":"Extrude","id":"e1","sketchId":"s1","n1Height":8})"),
     "/flatNode/1/type", "did you mean \"extrude\"?", 1},
    {"type_pad", part(R"({"type":"pad","id":"e1","sketchId":"s1","n1Height":8})"),
     "/flatNode/1/type", "did you mean \"extrude\"?", 1},
    {"type_revolve", part(R"({"type":"revolve","id":"r1","sketchId":"s1"})"), "/flatNode/1/type",
     "did you mean \"rotate\"?", 1},
    {"type_boss", part(R"({"type":"boss","id":"b1","sketchId":"s1"})"), "/flatNode/1/type",
     "did you mean \"extrude\"?", 1},
    {"type_rectArray", withPad(R"({"type":"rectArray","id":"p1","features":["e1"]})"),
     "/flatNode/2/type", "did you mean \"linearArray\"?", 1},
    {"bool_type_in_other_case",
     withPad(R"({"type":"extrude","id":"e2","sketchId":"s1","n1Height":5,"boolType":"Remove"})"),
     "/flatNode/2/boolType", "did you mean \"remove\"?", 1},
    {"bool_type_subtract",
     withPad(R"({"type":"extrude","id":"e2","sketchId":"s1","n1Height":5,"boolType":"subtract"})"),
     "/flatNode/2/boolType", "did you mean \"remove\"?", 1},
    {"bool_type_union",
     withPad(R"({"type":"extrude","id":"e2","sketchId":"s1","n1Height":5,"boolType":"union"})"),
     "/flatNode/2/boolType", "did you mean \"add\"?", 1},
    {"hole_type_in_other_case",
     withPad(
         R"({"type":"hole","id":"h1","holeType":"counterBore","diameter":5,"locations":[{"x":50,"y":30,"z":10}]})"),
     "/flatNode/2/holeType", "did you mean \"counterbore\"?", 1},
    {"chamfer_type_in_other_case",
     withPad(
         R"({"type":"chamfer","id":"c1","chamferType":"Equidistant","distance":1,"chamferTopos":[]})"),
     "/flatNode/2/chamferType", "did you mean \"equidistant\"?", 1},
    {"hole_radius",
     withPad(R"({"type":"hole","id":"h1","radius":3,"locations":[{"x":50,"y":30,"z":10}]})"),
     "/flatNode/2/radius", "did you mean \"diameter\"?", 1},
    {"fillet_diameter", withPad(R"({"type":"fillet","id":"f1","diameter":2,"filletTopos":[]})"),
     "/flatNode/2/diameter", "did you mean \"radius\"?", 1},
    {"profile_not_closed",
     R"({"flatNode":[{"type":"sketch","id":"s1","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"geometries":[)"
     R"({"type":"line","x1":0,"y1":0,"x2":100,"y2":0},{"type":"line","x1":100,"y1":0,"x2":100,"y2":60},)"
     R"({"type":"line","x1":100,"y1":60,"x2":0,"y2":60}]},)" +
         kPad + "]}",
     "/flatNode/0/geometries/0", "the open end (0, 60)", 1},
    {"arc_leaves_a_gap",
     R"({"flatNode":[{"type":"sketch","id":"s1","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"geometries":[)"
     R"({"type":"line","x1":-10,"y1":0,"x2":10,"y2":0},)"
     R"({"type":"arc","center":{"x":0,"y":0},"start":{"x":10,"y":0},"end":{"x":0,"y":7},"radius":10,"sweep":false}]},)" +
         kPad + "]}",
     "/flatNode/0/geometries/0", "the open end (0, 10)", 1},
    {"nan",
     R"({"flatNode":[)" + kRectangle +
         R"(,{"type":"extrude","id":"e1","sketchId":"s1","n1Height":NaN}]})",
     "/flatNode/1/n1Height", "JSON has no NaN", 2},
    {"trailing_comma_in_list", R"({"flatNode":[)" + kRectangle + "," + kPad + ",]}", "/flatNode/2",
     "remove the trailing comma before ']'", 2},
    {"trailing_comma_in_item",
     R"({"flatNode":[)" + kRectangle + R"(,{"type":"extrude","id":"e1","sketchId":"s1",}]})",
     "/flatNode/1", "remove the trailing comma before '}'", 2},
    {"single_quotes", R"({"flatNode":[)" + kRectangle + R"(,{'type':'extrude'}]})", "/flatNode/1",
     "use double quotes", 2},
    {"unquoted_key", R"({"flatNode":[)" + kRectangle + R"(,{type:"extrude"}]})", "/flatNode/1",
     "put the key in double quotes", 2},
    {"duplicate_id", withPad(R"({"type":"extrude","id":"e1","sketchId":"s1","n1Height":5})"),
     "/flatNode/2/id", "e.g. \"e1_2\"", 1},
    {"missing_id", part(R"({"type":"extrude","sketchId":"s1","n1Height":5})"), "/flatNode/1", "",
     1},
    {"geometry_polyline",
     R"({"flatNode":[{"type":"sketch","id":"s1","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"geometries":[)"
     R"({"type":"polyline","x1":0,"y1":0,"x2":10,"y2":0}]}]})",
     "/flatNode/0/geometries/0/type", "did you mean \"line\"?", 1},
    {"circle_centre",
     R"({"flatNode":[{"type":"sketch","id":"s1","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"geometries":[)"
     R"({"type":"circle","centre":{"x":0,"y":0},"radius":5}]}]})",
     "/flatNode/0/geometries/0/centre", "did you mean \"center\"?", 1},
    {"radius_as_string",
     R"({"flatNode":[{"type":"sketch","id":"s1","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"geometries":[)"
     R"({"type":"circle","center":{"x":0,"y":0},"radius":"5"}]}]})",
     "/flatNode/0/geometries/0/radius", "write 5 without quotes", 1},
    {"flat_node_in_other_case", R"({"flatnode":[)" + kRectangle + "]}", "/flatnode",
     "did you mean \"flatNode\"?", 1},
    {"items_for_flat_node", R"({"items":[)" + kRectangle + "]}", "/items",
     "did you mean \"flatNode\"?", 1},
    {"empty_list", R"({"flatNode":[]})", "/flatNode", "", 1},
    {"pattern_of_itself",
     withPad(
         R"({"type":"linearArray","id":"p1","features":["p1"],"direct":{"x":0,"y":0,"z":0,"dx":1,"dy":0,"dz":0},"itemNumber":2,"distance":20})"),
     "/flatNode/2/features/0", "remove \"p1\" here", 1},
    {"two_items_naming_each_other",
     part(
         R"({"type":"extrude","id":"e1","sketchId":"s1","n1Height":5,"featureIds":["e2"]},)"
         R"({"type":"extrude","id":"e2","sketchId":"s1","n1Height":5,"boolType":"remove","boolSolids":["e1"]})"),
     "/flatNode/2/boolSolids/0", "remove \"e1\" here", 1},
    {"hole_off_every_face",
     withPad(
         R"({"type":"hole","id":"h1","diameter":5,"depth":5,"locations":[{"x":500,"y":30,"z":10}],"direction":{"dx":0,"dy":0,"dz":-1}})"),
     "/flatNode/2/locations/0", "put the location on a face", 1},
    {"hole_vertex_misspelt",
     R"({"flatNode":[)" + kRectangle + "," + kPad +
         R"(,{"type":"sketch","id":"s2","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,10,1],"geometries":[{"type":"vertex","id":"v1","x":50,"y":30}]},)"
         R"({"type":"hole","id":"h1","diameter":5,"locations":["v2"]}]})",
     "/flatNode/3/locations/0", "did you mean \"v1\"?", 1},
    {"bool_solids_naming_a_sketch",
     withPad(
         R"({"type":"extrude","id":"e2","sketchId":"s1","n1Height":5,"boolType":"remove","boolSolids":["s1"]})"),
     "/flatNode/2/boolSolids/0", "did you mean \"e1\"?", 1},
    {"body_colour_of_a_missing_item",
     part(kPad, R"(,"bodyColors":[{"id":"E1","color":[200,0,0]}])"), "/bodyColors/0/id",
     "did you mean \"e1\"?", 1},
    {"count_not_whole",
     withPad(
         R"({"type":"linearArray","id":"p1","features":["e1"],"direct":{"x":0,"y":0,"z":0,"dx":1,"dy":0,"dz":0},"itemNumber":2.5,"distance":200})"),
     "/flatNode/2/itemNumber", "write a whole number, e.g. 3", 1},
    {"rotate_type_in_other_case",
     part(
         R"({"type":"rotate","id":"r1","sketchId":"s1","rotateType":"Completely","axis":{"x":0,"y":0,"z":0,"dx":0,"dy":1,"dz":0}})"),
     "/flatNode/1/rotateType", "did you mean \"completely\"?", 1},
    {"descriptor_without_its_feature",
     withPad(
         R"({"type":"fillet","id":"f1","radius":2,"filletTopos":[{"topoType":"edge","type":"line","start":[0,30,10],"end":[40,30,10]}]})"),
     "/flatNode/2/filletTopos/0", "did you mean \"featureId\": \"e1\"?", 1},
    {"descriptor_of_a_sketch",
     withPad(
         R"({"type":"shell","id":"sh1","shellFaces":[{"featureId":"s1","topoType":"face","type":"plane","loc":[20,15,10],"vDir":[0,0,1]}]})"),
     "/flatNode/2/shellFaces/0/featureId", "did you mean \"e1\"?", 1},
    {"direction_as_array",
     part(R"({"type":"extrude","id":"e1","sketchId":"s1","n1Height":8,"direction":[0,0,1]})"),
     "/flatNode/1/direction", "write {\"x\": 0, \"y\": 0, \"z\": 1}", 1},
    {"operation_for_bool_type",
     withPad(R"({"type":"extrude","id":"e2","sketchId":"s1","n1Height":5,"operation":"cut"})"),
     "/flatNode/2/operation", "did you mean \"boolType\"?", 1},
    {"no_profile", part(R"({"type":"extrude","id":"e1","n1Height":8})"), "/flatNode/1",
     "did you mean \"sketchId\": \"s1\"?", 1},
    {"product_ref_misspelt",
     R"({"mode":"product","partList":[{"id":"pin","flatNode":[)" + kRectangle + "," + kPad +
         R"(]},{"id":"pin2","refId":"pinn"}]})",
     "/partList/1/refId", "did you mean \"pin\"?", 1},
};

class BrokenDocument : public ::testing::TestWithParam<Case> {};

TEST_P(BrokenDocument, NamesThePlaceAndTheFix) {
  const Case& c = GetParam();
  const Validation v = validateText(c.document);
  EXPECT_FALSE(v.valid());
  EXPECT_EQ(kestrun_validate::validationExitStatus(v), c.exitStatus);
  const Problem* found = nullptr;
  for (const Problem& p : v.problems) {
    if (p.pointer == c.pointer && !found) found = &p;
  }
  ASSERT_NE(found, nullptr) << "no problem at " << c.pointer << " in "
                            << kestrun_validate::validationJson(v);
  EXPECT_FALSE(found->message.empty());
  if (*c.suggestion) {
    EXPECT_NE(found->suggestion.find(c.suggestion), std::string::npos)
        << kestrun_validate::validationJson(v);
  }
  if (c.exitStatus == 2) {
    EXPECT_GT(found->line, 0);
  }
}

// The schema walk names what the validator library finds, and finds nothing it does not.
TEST_P(BrokenDocument, TheSchemaWalkAndTheValidatorLibraryAgree) {
  const Case& c = GetParam();
  const bool walk = !kestrun_validate::schemaWalkProblems(c.document).empty();
  const bool library = !kestrun_validate::libraryProblems(c.document).empty();
  EXPECT_EQ(walk, library) << kestrun_validate::validationJson(validateText(c.document));
}

INSTANTIATE_TEST_SUITE_P(Validate, BrokenDocument, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Validate, TheSoundRectanglePadIsValid) {
  const Validation v = validateText(part(kPad));
  EXPECT_TRUE(v.valid()) << kestrun_validate::validationJson(v);
}

TEST(Validate, TheValidatorLibraryRefusesWhatTheSchemaRefuses) {
  EXPECT_TRUE(kestrun_validate::libraryProblems(part(kPad)).empty());
  const auto found = kestrun_validate::libraryProblems(
      part(R"({"type":"extrude","id":"e1","sketchId":"s1","n1Height":"8"})"));
  ASSERT_FALSE(found.empty());
  bool atTheItem = false;
  for (const Problem& p : found) atTheItem = atTheItem || p.pointer.rfind("/flatNode/1", 0) == 0;
  EXPECT_TRUE(atTheItem) << found.front().pointer << ": " << found.front().message;
}

TEST(Validate, ABareItemListIsReadAsTheFlatNode) {
  const Validation v = validateText("[" + kRectangle +
                                    R"(,{"type":"extrude","id":"e1","sketchId":"s1","height":3}])");
  ASSERT_EQ(v.problems.size(), 1u) << kestrun_validate::validationJson(v);
  EXPECT_EQ(v.problems[0].pointer, "/1/height");
}

TEST(Validate, ParseErrorsGiveLineAndColumn) {
  const Validation v = validateText("{\"flatNode\": [\n  {\"type\": \"sketch\",}\n]}");
  ASSERT_EQ(v.problems.size(), 1u);
  EXPECT_EQ(v.problems[0].line, 2);
  EXPECT_EQ(v.problems[0].column, 21);
}

TEST(Validate, DeepNestingIsRefusedNotRecursedInto) {
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  const Validation v = validateText(deep);
  EXPECT_FALSE(v.readable);
}

TEST(Validate, ALongChainOfReferencesIsNoTrouble) {
  std::string items = kRectangle + "," + kPad;
  for (int i = 2; i < 20000; ++i)
    items += R"(,{"type":"extrude","id":"e)" + std::to_string(i) +
             R"(","sketchId":"s1","n1Height":1,"featureIds":["e)" + std::to_string(i - 1) +
             R"("]})";
  const Validation v = validateText(R"({"flatNode":[)" + items + "]}");
  EXPECT_TRUE(v.valid()) << v.problems.size();
}

}  // namespace
