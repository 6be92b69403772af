// Extrude fields, signed limits, the cutting overshoot and the cutter's sketch frame.
#include <gtest/gtest.h>

#include <rapidjson/document.h>

#include "features/extrude/extrude_params.h"
#include "features/writer/sketch_frame.h"
#include "platform/environment.h"

namespace {

using kestrun::ExtrudeParams;

ExtrudeParams read(const char* json) {
  rapidjson::Document doc;
  doc.Parse(json);
  return kestrun::readExtrudeParams(doc);
}

class OvershootVariable : public ::testing::Test {
 protected:
  void TearDown() override { platform::UnsetEnv("MARDEL_REMOVE_EXTRUDE_OVERSHOOT_MM"); }
  double with(const char* value) {
    platform::SetEnv("MARDEL_REMOVE_EXTRUDE_OVERSHOOT_MM", value);
    return kestrun::removeOvershootMm();
  }
};

TEST(ExtrudeParams, DefaultsAreAZeroPadAlongZ) {
  ExtrudeParams p = read("{}");
  EXPECT_EQ(p.first, 0);
  EXPECT_EQ(p.second, 0);
  EXPECT_EQ(p.direction.z, 1);
}

TEST(ExtrudeParams, ContraryFlagsSignTheLimits) {
  ExtrudeParams p =
      read(R"({"n1Height": 10, "n2Height": 4, "contrary": true, "contrary2": false})");
  EXPECT_EQ(p.first, -10);
  EXPECT_EQ(p.second, -4);
  // A non-boolean contrary2 counts as absent, which is true.
  p = read(R"({"n1Height": 10, "n2Height": 4, "contrary": "yes", "contrary2": 0})");
  EXPECT_EQ(p.first, 10);
  EXPECT_EQ(p.second, 4);
}

TEST(ExtrudeParams, DirectionIsNormalisedAndZeroBecomesX) {
  ExtrudeParams p = read(R"({"direction": {"x": 0, "y": 3, "z": 4}})");
  EXPECT_DOUBLE_EQ(p.direction.y, 0.6);
  EXPECT_DOUBLE_EQ(p.direction.z, 0.8);
  p = read(R"({"direction": {"x": 0, "y": 0, "z": 0}})");
  EXPECT_EQ(p.direction.x, 1);
  p = read(R"({"direction": {"x": 0, "y": "1", "z": 0}})");
  EXPECT_EQ(p.direction.z, 1);  // malformed: the default
}

TEST_F(OvershootVariable, SourcesOfTheOvershoot) {
  platform::UnsetEnv("MARDEL_REMOVE_EXTRUDE_OVERSHOOT_MM");
  EXPECT_EQ(kestrun::removeOvershootMm(), 1.0);
  EXPECT_EQ(with(""), 1.0);
  EXPECT_EQ(with("0"), 0.0);
  EXPECT_EQ(with("-3"), 1.0);
  EXPECT_EQ(with("2.5"), 2.5);
  EXPECT_EQ(with("abc"), 0.0);
  EXPECT_EQ(with("nan"), 0.0);
}

TEST(ExtrudeParams, OvershootGrowsLimitsAwayFromTheProfile) {
  ExtrudeParams p = read(R"({"n1Height": 10})");
  kestrun::applyOvershoot(p, 1.0);
  EXPECT_EQ(p.first, 11);
  EXPECT_EQ(p.second, 1);
  p = read(R"({"n1Height": 5, "contrary": true})");
  kestrun::applyOvershoot(p, 1.0);
  EXPECT_EQ(p.first, -6);
  EXPECT_EQ(p.second, 1);
  p = read(R"({"contrary": true, "contrary2": false})");
  kestrun::applyOvershoot(p, 2.0);
  EXPECT_EQ(p.first, -2);
  EXPECT_EQ(p.second, -2);
  p = read(R"({"n1Height": 10})");
  kestrun::applyOvershoot(p, 0.0);
  EXPECT_EQ(p.first, 10);
  EXPECT_EQ(p.second, 0);
}

TEST(SketchFrame, NormalOfTheFrameIsTheDirection) {
  for (host::Vec3 n : {host::Vec3{0, 0, 1}, host::Vec3{0, 0, -2}, host::Vec3{1, 1, 0},
                       host::Vec3{0.3, -0.2, 0.95}}) {
    kestrun::SketchFrame f;
    ASSERT_TRUE(kestrun::frameFromDirection(n, f));
    const host::Vec3 normal = host::cross(f.h, f.v);
    const host::Vec3 unit = n * (1.0 / host::norm(n));
    EXPECT_NEAR(normal.x, unit.x, 1e-12);
    EXPECT_NEAR(normal.y, unit.y, 1e-12);
    EXPECT_NEAR(normal.z, unit.z, 1e-12);
    EXPECT_NEAR(host::dot(f.h, f.v), 0, 1e-12);
  }
  kestrun::SketchFrame f;
  EXPECT_FALSE(kestrun::frameFromDirection({0, 0, 1e-10}, f));
}

}  // namespace
