// Each example of docs/part-json.md drawn as a user draws it, its solid measured against
// the volume worked out by hand.
#include <rapidjson/document.h>

#include <cmath>
#include <string>

#include "cli_fixture.h"

namespace {

const double kPi = 3.14159265358979323846;
const double kDraftInset = 20 * std::tan(5 * kPi / 180);  // 20 mm high, 5 degrees

struct Example {
  const char* file;
  double volume;  // mm^3, by hand
};

const Example kExamples[] = {
    {"extrude", 40 * 30 * 10},                                       // 40 x 30 block, 10 high
    {"extrude_two_sided", kPi * 10 * 10 * (5 + 15)},                 // r 10, 5 up and 15 down
    {"pocket", 40 * 30 * 10 - 10 * 10 * 10},                         // a 10 x 10 pocket through
    {"common", kPi * 10 * 10 * 10},                                  // a cylinder inside the block
    {"new_body", 40 * 30 * 10 + 10 * 10 * 20},                       // block and a separate post
    {"sketch_curves", (20 * 10 + kPi * 25) * 4 + kPi * 10 * 5 * 3},  // slot 4 high, ellipse 3
    {"rotate", kPi*(15 * 15 - 5 * 5) * 20},                          // tube r 5..15, 20 high
    {"loft", 30.0 / 3 * (400 + 100 + std::sqrt(400.0 * 100))},       // square frustum 20 -> 10
    {"sweep", kPi * 2 * 2 * 50},                                     // r 2 along a 50 mm line
    {"fillet", 40 * 30 * 10 - (4 - kPi) * 40},                       // r 2 round on a 40 mm edge
    {"chamfer", 40 * 30 * 10 - 0.5 * 2 * 2 * 40},                    // 2 mm bevel on a 40 mm edge
    {"shell", 40 * 30 * 10 - 36 * 26 * 8},                           // 2 mm walls, open at the top
    // 5 degree draft on the sides of a 40 x 30 x 20 block: prismatoid, ends and middle.
    {"draft", 20.0 / 6 *
                  (40 * 30 + 4 * (40 - kDraftInset) * (30 - kDraftInset) +
                   (40 - 2 * kDraftInset) * (30 - 2 * kDraftInset))},
    {"hole", 40 * 30 * 10 - kPi * 3 * 3 * 5},  // d 6, 5 deep
    {"hole_counterbore", 40 * 30 * 10 - kPi * 3 * 3 * 10 - kPi*(5 * 5 - 3 * 3) * 3},
    {"hole_at_vertex", 40 * 30 * 10 - 2 * kPi * 2 * 2 * 5},    // two d 4, 5 deep
    {"linear_array", 40 * 30 * 10 + 3 * kPi * 3 * 3 * 5},      // three r 3 bosses, 5 high
    {"polar_array", kPi * 30 * 30 * 5 - 6 * kPi * 2 * 2 * 5},  // disc with six d 4 holes
    {"mirror", 40 * 30 * 10 + 2 * kPi * 3 * 3 * 5},            // a boss and its mirror image
};

class GuideExample : public kestrun_test::CliTest, public ::testing::WithParamInterface<Example> {};

TEST_P(GuideExample, DrawsWithoutWarningsAndMeasuresAsWorkedOut) {
  const Example& e = GetParam();
  const std::string file = std::string(KESTRUN_EXAMPLES) + "/guide/" + e.file + ".json";
  const auto report = dir / "report.json";
  ASSERT_EQ(shell(kestrun() + " draw " + file + " --report " + report.string() +
                  " 2>/dev/null >/dev/null"),
            0);
  rapidjson::Document d;
  d.Parse(kestrun_test::readText(report).c_str());
  ASSERT_TRUE(d.IsObject());
  EXPECT_EQ(d["result"]["hasWarnings"].GetInt(), 0);
  EXPECT_EQ(d["summary"]["failed"].GetInt(), 0);
  ASSERT_TRUE(d["summary"]["volume"].IsNumber());
  EXPECT_NEAR(d["summary"]["volume"].GetDouble(), e.volume, 1e-6 * e.volume);
  EXPECT_EQ(shell(kestrun() + " validate " + file + " >/dev/null"), 0);
}

INSTANTIATE_TEST_SUITE_P(Guide, GuideExample, ::testing::ValuesIn(kExamples),
                         [](const auto& info) { return std::string(info.param.file); });

}  // namespace
