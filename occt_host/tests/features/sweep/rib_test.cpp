#include <gtest/gtest.h>

#include "features/sweep/sweep_fixture.h"

namespace occt_host::testing {
namespace {

class RibTest : public SweepFixture {
 protected:
  // In the XY plane: a line from (0, 0) to (50, 0), then a quarter arc of radius 20 about
  // (50, 20) from (50, 0) to (70, 20), tangent to the line.
  host::SpecObjectPtr bentPath() {
    return sketch({}, {{{0, 0, 50, 0}}, {}, {{50, 20, 20, -kPi / 2, 0}}});
  }
  // The plane through the path's start, normal to it: h = y, v = z.
  static Plane startPlane() { return {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}}; }
};

TEST_F(RibTest, CircleAlongALineAndATangentArcIsABentPipe) {
  auto profile = sketch(startPlane(), {{}, {{0, 0, 2}}, {}});
  auto rib = sweeps->createRib(profile, bentPath());
  ASSERT_TRUE(rib);
  EXPECT_EQ(rib->typeName(), "Rib");
  host::UpdateResult result = rib->update();
  ASSERT_TRUE(result.ok()) << result.diagnostic;
  // Cylinder plus a quarter torus (Pappus): pi 2^2 (50 + 20 pi / 2) = 4 pi (50 + 10 pi).
  const double expected = 4 * kPi * (50 + 10 * kPi);
  TopoDS_Shape solid = solidOf(part->mainBody());
  EXPECT_NEAR(volume(solid), expected, expected * 1e-3);
  Box box = boxOf(solid);
  EXPECT_NEAR(box.x1, 72, 1e-2);
  EXPECT_NEAR(box.y1, 20, 1e-2);
  EXPECT_NEAR(box.z0, -2, 1e-2);
}

TEST_F(RibTest, ProfileAwayFromThePathIsSweptWhereItLies) {
  // The circle sits 5 towards +y of the path: along the arc its centre runs at radius
  // 20 - 5 = 15 about (50, 20). Pappus: 4 pi (50 + 15 pi / 2).
  auto profile = sketch(startPlane(), {{}, {{5, 0, 2}}, {}});
  auto rib = sweeps->createRib(profile, bentPath());
  host::UpdateResult result = rib->update();
  ASSERT_TRUE(result.ok()) << result.diagnostic;
  const double expected = 4 * kPi * (50 + 7.5 * kPi);
  EXPECT_NEAR(volume(solidOf(rib)), expected, expected * 1e-3);
  // It ends at x = 50 + 15 + 2 and stays within the plane band z -2..2.
  Box box = boxOf(solidOf(rib));
  EXPECT_NEAR(box.x1, 67, 1e-2);
  EXPECT_NEAR(box.z1, 2, 1e-2);
}

TEST_F(RibTest, ProfileWithAHoleMakesATube) {
  // Radii 2 and 1: pi (4 - 1) (50 + 10 pi).
  auto profile = sketch(startPlane(), {{}, {{0, 0, 2}, {0, 0, 1}}, {}});
  auto rib = sweeps->createRib(profile, bentPath());
  host::UpdateResult result = rib->update();
  ASSERT_TRUE(result.ok()) << result.diagnostic;
  const double expected = 3 * kPi * (50 + 10 * kPi);
  EXPECT_NEAR(volume(solidOf(rib)), expected, expected * 1e-3);
}

TEST_F(RibTest, PathWithACuspFails) {
  // Out along x and straight back at a slight angle: the tube folds onto itself.
  auto profile = sketch(startPlane(), {{}, {{0, 0, 2}}, {}});
  auto path = sketch({}, {{{0, 0, 50, 0}, {50, 0, 0, 1}}, {}, {}});
  auto rib = sweeps->createRib(profile, path);
  host::UpdateResult result = rib->update();
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.diagnostic.find("turns sharply at (50, 0, 0)"), std::string::npos)
      << result.diagnostic;
}

TEST_F(RibTest, BrokenPathOrMissingProfileFails) {
  auto profile = sketch(startPlane(), {{}, {{0, 0, 2}}, {}});
  auto broken = sketch({}, {{{0, 0, 10, 0}, {20, 0, 30, 0}}, {}, {}});
  host::UpdateResult result = sweeps->createRib(profile, broken)->update();
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.diagnostic.find("not one chain"), std::string::npos) << result.diagnostic;
  auto open = sketch(startPlane(), {{{0, 0, 1, 0}}, {}, {}});
  result = sweeps->createRib(open, bentPath())->update();
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.diagnostic.find("no closed contour"), std::string::npos) << result.diagnostic;
  EXPECT_FALSE(sweeps->createRib(nullptr, bentPath()));
  // A circle swept along itself lies in its own path's plane: nothing is enclosed.
  auto ring = sketch({}, {{}, {{0, 0, 10}}, {}});
  result = sweeps->createRib(ring, ring)->update();
  EXPECT_FALSE(result.ok());
  EXPECT_FALSE(result.diagnostic.empty());
}

}  // namespace
}  // namespace occt_host::testing
