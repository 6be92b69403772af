#include <gtest/gtest.h>

#include <cmath>

#include "features/sweep/sweep_fixture.h"

namespace occt_host::testing {
namespace {

class ShaftTest : public SweepFixture {
 protected:
  // The rectangle x 10..20, z 0..5 in the XZ plane, to turn about the z axis.
  host::SpecObjectPtr ringProfile() {
    return sketch({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, rectangle(10, 0, 20, 5));
  }
  host::SpecObjectPtr shaft(const host::SpecObjectPtr& profile, double start, double end,
                            const host::SpecObjectPtr& axis) {
    auto feature = sweeps->createShaft(profile);
    auto parameters = host::query<host::Shaft>(feature);
    if (!parameters) return nullptr;
    parameters->setStartAngle(start);
    parameters->setEndAngle(end);
    parameters->setAxis(axis);
    return feature;
  }
  host::SpecObjectPtr zAxis() { return axisLine({0, 0, 0}, {0, 0, 1}); }

  // A full ring: pi (R^2 - r^2) h = pi (400 - 100) 5 = 1500 pi.
  static constexpr double kRing = 1500 * kPi;
};

TEST_F(ShaftTest, FullTurnIsARing) {
  auto feature = shaft(ringProfile(), 0, 360, zAxis());
  ASSERT_TRUE(feature);
  EXPECT_EQ(feature->typeName(), "Shaft");
  host::UpdateResult result = feature->update();
  ASSERT_TRUE(result.ok()) << result.diagnostic;
  TopoDS_Shape solid = solidOf(part->mainBody());
  EXPECT_NEAR(volume(solid), kRing, kRing * 1e-6);
  Box box = boxOf(solid);
  EXPECT_NEAR(box.x0, -20, 1e-6);
  EXPECT_NEAR(box.y1, 20, 1e-6);
  EXPECT_NEAR(box.z1, 5, 1e-6);
}

TEST_F(ShaftTest, QuarterTurnGoesCounterClockwiseAboutTheAxis) {
  auto feature = shaft(ringProfile(), 0, 90, zAxis());
  ASSERT_TRUE(feature && feature->update().ok());
  TopoDS_Shape solid = solidOf(feature);
  EXPECT_NEAR(volume(solid), kRing / 4, kRing / 4 * 1e-6);
  // From +x towards +y: the quadrant x, y in 0..20.
  Box box = boxOf(solid);
  EXPECT_NEAR(box.x0, 0, 1e-6);
  EXPECT_NEAR(box.y0, 0, 1e-6);
  EXPECT_NEAR(box.x1, 20, 1e-6);
  EXPECT_NEAR(box.y1, 20, 1e-6);
  // About -z the same angles turn towards -y; fused with the first quadrant, a half ring.
  auto down = shaft(ringProfile(), 0, 90, axisLine({0, 0, 0}, {0, 0, -1}));
  ASSERT_TRUE(down && down->update().ok());
  Box both = boxOf(solidOf(down));
  EXPECT_NEAR(both.y0, -20, 1e-6);
  EXPECT_NEAR(both.x0, 0, 1e-6);
  EXPECT_NEAR(volume(solidOf(down)), kRing / 2, kRing / 2 * 1e-6);
}

TEST_F(ShaftTest, StartAngleTurnsTheProfileFirst) {
  // -30..30: a sixth of the ring, symmetric about the profile's plane (y from -20 sin 30
  // to 20 sin 30).
  auto feature = shaft(ringProfile(), -30, 30, zAxis());
  ASSERT_TRUE(feature && feature->update().ok());
  TopoDS_Shape solid = solidOf(feature);
  EXPECT_NEAR(volume(solid), kRing / 6, kRing / 6 * 1e-6);
  Box box = boxOf(solid);
  EXPECT_NEAR(box.y0, -10, 1e-6);
  EXPECT_NEAR(box.y1, 10, 1e-6);
  // Reversed angles fill the same sector.
  auto parameters = host::query<host::Shaft>(feature);
  parameters->setStartAngle(30);
  parameters->setEndAngle(-30);
  ASSERT_TRUE(feature->update().ok());
  EXPECT_NEAR(volume(solidOf(feature)), kRing / 6, kRing / 6 * 1e-6);
}

TEST_F(ShaftTest, ShaftFusesIntoThePadBeforeIt) {
  // A 40 x 40 x 5 plate under the ring at z -5..0: 8000 + 1500 pi.
  auto plate = pad(sketch({{0, 0, -5}}, rectangle(-20, -20, 20, 20)), 5, 0);
  ASSERT_TRUE(plate && plate->update().ok());
  auto feature = shaft(ringProfile(), 0, 360, zAxis());
  ASSERT_TRUE(feature && feature->update().ok());
  EXPECT_NEAR(volume(solidOf(part->mainBody())), 8000 + kRing, (8000 + kRing) * 1e-6);
}

TEST_F(ShaftTest, ProfileAcrossTheAxisFailsWithAClearText) {
  auto across = sketch({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, rectangle(-5, 0, 10, 5));
  auto feature = shaft(across, 0, 360, zAxis());
  host::UpdateResult result = feature->update();
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.diagnostic.find("both sides of the revolution axis"), std::string::npos)
      << result.diagnostic;
  // A circle pierced by an axis normal to its plane.
  auto pierced = shaft(sketch({}, {{}, {{0, 0, 5}}, {}}), 0, 360, zAxis());
  result = pierced->update();
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.diagnostic.find("passes through the profile"), std::string::npos)
      << result.diagnostic;
}

TEST_F(ShaftTest, ProfileTouchingTheAxisMakesASolidCylinder) {
  // x 0..10, z 0..5 about z: pi 10^2 5 = 500 pi.
  auto touching = sketch({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, rectangle(0, 0, 10, 5));
  auto feature = shaft(touching, 0, 360, zAxis());
  host::UpdateResult result = feature->update();
  ASSERT_TRUE(result.ok()) << result.diagnostic;
  EXPECT_NEAR(volume(solidOf(feature)), 500 * kPi, 500 * kPi * 1e-6);
}

TEST_F(ShaftTest, AnglesAndAxisAreCheckedAndReadBack) {
  auto feature = sweeps->createShaft(ringProfile());
  auto parameters = host::query<host::Shaft>(feature);
  ASSERT_TRUE(parameters);
  EXPECT_FALSE(feature->update().ok());  // no axis yet
  EXPECT_EQ(parameters->setStartAngle(std::nan("")), host::kInvalidArg);
  EXPECT_EQ(parameters->setAxis(ringProfile()), host::kInvalidArg);
  EXPECT_EQ(parameters->setAxis(zAxis()), host::kOk);
  EXPECT_EQ(parameters->setStartAngle(12.5), host::kOk);
  EXPECT_EQ(parameters->setEndAngle(12.5), host::kOk);
  EXPECT_EQ(parameters->startAngle(), 12.5);
  EXPECT_EQ(parameters->endAngle(), 12.5);
  host::UpdateResult result = feature->update();
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.diagnostic.find("equal"), std::string::npos) << result.diagnostic;
  parameters->setEndAngle(400);
  result = feature->update();
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.diagnostic.find("exceeds 360"), std::string::npos) << result.diagnostic;
  EXPECT_FALSE(sweeps->createShaft(nullptr));
}

}  // namespace
}  // namespace occt_host::testing
