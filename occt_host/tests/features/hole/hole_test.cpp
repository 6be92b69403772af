// Holes drilled into the 100 x 100 x 10 plate (100,000 mm^3) from its top face at z = 10,
// measured on the body and on the STEP export, against volumes worked out by hand.
#include <cmath>

#include "host/hole_features.h"
#include "host/topology.h"
#include "plate_fixture.h"

namespace occt_host::testing {
namespace {

class HoleTest : public PlateFixture {
 protected:
  void SetUp() override {
    PlateFixture::SetUp();
    wireframe = host::query<host::WireframeFactory>(container);
    holes = host::query<host::HoleFactory>(container);
    ASSERT_TRUE(wireframe && holes);
    ASSERT_TRUE(plate());
  }

  // The plane z = 10 with its normal along +z, as the top face of the plate.
  host::SpecObjectPtr top() { return wireframe->createPlane({{0, 0, 10}, {1, 0, 0}, {0, 1, 0}}); }

  host::SpecObjectPtr line(host::Point3 at, host::Vec3 d) {
    return wireframe->createLine(wireframe->createPoint(at),
                                 wireframe->createPoint(at + d * 1000.0));
  }

  // A hole at (x, y) on the top face going down, of the given diameter and depth.
  host::SpecObjectPtr drillDown(double x, double y, double diameter, double depth) {
    auto hole = holes->createHole({x, y, 10}, top(), line({x, y, 10}, {0, 0, -1}));
    auto h = host::query<host::Hole>(hole);
    auto limit = host::query<host::HoleLimit>(hole);
    if (!h || !limit) return nullptr;
    // The hole starts on the support's normal side; the plate lies the other way.
    h->reverse();
    h->setDiameter(diameter);
    limit->setDepth(depth);
    return hole;
  }

  double bodyVolume() { return volume(solidOf(part->mainBody())); }

  // The reference of the horizontal face of `feature` whose box reaches down to `zMin`.
  host::SpecObjectPtr planarFace(const host::SpecObjectPtr& feature, double zMin) {
    for (const auto& cell : host::query<host::FeatureGeometry>(feature)->boundaryCells()) {
      auto face = host::query<host::FaceCell>(cell)->faces().at(0);
      host::Point3 origin;
      host::Vec3 normal;
      if (face->surface()->plane(origin, normal) && std::fabs(std::fabs(normal.z) - 1) < 1e-9 &&
          std::fabs(face->box().min.z - zMin) < 1e-6)
        return host::query<host::Featurize>(cell)->featurize();
    }
    return nullptr;
  }

  std::shared_ptr<host::WireframeFactory> wireframe;
  std::shared_ptr<host::HoleFactory> holes;
};

TEST_F(HoleTest, StartsOnTheSupportWhereTheAxisMeetsItAndFacesItsNormalSide) {
  // The point lies 10 above the face; the axis meets z = 10 at (30, 40, 10).
  auto hole = holes->createHole({30, 40, 20}, top(), line({30, 40, 20}, {0, 0, -2}));
  auto h = host::query<host::Hole>(hole);
  ASSERT_TRUE(h);
  EXPECT_DOUBLE_EQ(h->origin().z, 10);
  EXPECT_DOUBLE_EQ(h->origin().x, 30);
  EXPECT_DOUBLE_EQ(h->direction().z, 1);
  EXPECT_EQ(h->reverse(), host::kOk);
  EXPECT_DOUBLE_EQ(h->direction().z, -1);
  for (host::InterfaceId id : {host::SimpleHole::kInterfaceId, host::TaperedHole::kInterfaceId,
                               host::CounterBoredHole::kInterfaceId,
                               host::CounterSunkHole::kInterfaceId, host::HoleLimit::kInterfaceId})
    EXPECT_TRUE(hole->queryInterface(id)) << id;
}

TEST_F(HoleTest, OnFaceReferencesTheHoleStartsOutOfTheMaterialAndLeavesFacesToName) {
  host::SpecObjectPtr plateFeature = part->currentFeature();
  // From the bottom face (outward normal -z) up into the plate, 10 wide and 4 deep.
  auto bottom = planarFace(plateFeature, 0);
  ASSERT_TRUE(bottom);
  auto first = holes->createHole({50, 50, 0}, bottom, line({50, 50, 0}, {0, 0, 1}));
  auto h = host::query<host::Hole>(first);
  ASSERT_TRUE(h);
  EXPECT_DOUBLE_EQ(h->direction().z, -1);
  h->reverse();
  h->setDiameter(10);
  host::query<host::HoleLimit>(first)->setDepth(4);
  ASSERT_TRUE(first->update().ok());
  part->setCurrentFeature(first);
  // The hole's own flat bottom, at z = 4 facing down, carries a second hole 4 wide, 3 deep.
  auto floor = planarFace(first, 4);
  ASSERT_TRUE(floor);
  auto second = holes->createHole({50, 50, 4}, floor, line({50, 50, 4}, {0, 0, 1}));
  ASSERT_TRUE(second);
  host::query<host::Hole>(second)->reverse();
  host::query<host::Hole>(second)->setDiameter(4);
  host::query<host::HoleLimit>(second)->setDepth(3);
  ASSERT_TRUE(second->update().ok());
  // pi*25*4 + pi*4*3 = 112 pi
  EXPECT_NEAR(exportedSolidVolumes().at(0), 100000 - 112 * kPi, 0.1);
}

TEST_F(HoleTest, FlatSimpleHoleAndOneDrilledIntoTheAir) {
  auto hole = drillDown(50, 50, 10, 6);
  ASSERT_TRUE(hole);
  ASSERT_TRUE(hole->update().ok());
  // pi * 5^2 * 6 = 150 pi
  EXPECT_NEAR(bodyVolume(), 100000 - 150 * kPi, 1e-2);
  auto away = drillDown(20, 20, 10, 6);
  host::query<host::Hole>(away)->reverse();  // back up, out of the plate: nothing to cut
  ASSERT_TRUE(away->update().ok());
  auto volumes = exportedSolidVolumes();
  ASSERT_EQ(volumes.size(), 1u);
  EXPECT_NEAR(volumes[0], 100000 - 150 * kPi, 1e-6 * 100000);
}

TEST_F(HoleTest, VBottomAddsTheConeOfTheTipAngle) {
  auto hole = drillDown(50, 50, 10, 4);
  auto limit = host::query<host::HoleLimit>(hole);
  ASSERT_TRUE(limit);
  limit->setBottomType(host::kHoleBottomV);
  limit->setBottomAngle(90);
  ASSERT_TRUE(hole->update().ok());
  // Cylinder pi*25*4 = 100 pi; cone of half angle 45: height 5, pi*25*5/3 = 125 pi / 3.
  EXPECT_NEAR(exportedSolidVolumes().at(0), 100000 - (100 + 125.0 / 3) * kPi, 0.1);
}

TEST_F(HoleTest, CounterboreDepthLiesInsideTheHoleDepth) {
  auto hole = drillDown(50, 50, 6, 8);
  auto bored = host::query<host::CounterBoredHole>(hole);
  ASSERT_TRUE(bored);
  bored->setType(host::kHoleCounterbored);
  bored->setCounterboreDiameter(12);
  bored->setCounterboreDepth(3);
  ASSERT_TRUE(hole->update().ok());
  // Head pi*36*3 = 108 pi; shank pi*9*(8-3) = 45 pi.
  EXPECT_NEAR(exportedSolidVolumes().at(0), 100000 - 153 * kPi, 0.1);
}

TEST_F(HoleTest, CountersinkNarrowsAtItsFullAngle) {
  auto hole = drillDown(50, 50, 6, 8);
  auto sunk = host::query<host::CounterSunkHole>(hole);
  ASSERT_TRUE(sunk);
  sunk->setType(host::kHoleCountersunk);
  sunk->setCountersinkDiameter(12);
  sunk->setCountersinkAngle(90);
  ASSERT_TRUE(hole->update().ok());
  // Cone from radius 6 to 3 over (6-3)/tan 45 = 3: pi*3/3*(36+18+9) = 63 pi;
  // shank pi*9*(8-3) = 45 pi.
  EXPECT_NEAR(exportedSolidVolumes().at(0), 100000 - 108 * kPi, 0.1);
}

TEST_F(HoleTest, TaperNarrowsFromTheDiameterAtTheTop) {
  auto hole = drillDown(50, 50, 10, 5);
  auto tapered = host::query<host::TaperedHole>(hole);
  ASSERT_TRUE(tapered);
  tapered->setType(host::kHoleTapered);
  tapered->setTaperAngle(20);
  ASSERT_TRUE(hole->update().ok());
  // Radius 5 at the top, 5 - 5 tan 10 at depth 5: a frustum pi*h/3*(R^2 + R r + r^2).
  const double r = 5 - 5 * std::tan(10 * kPi / 180);
  const double cut = kPi * 5 / 3 * (25 + 5 * r + r * r);
  EXPECT_NEAR(exportedSolidVolumes().at(0), 100000 - cut, 0.1);
}

TEST_F(HoleTest, ParametersThatDescribeNoHoleFailTheUpdateWithAReason) {
  struct Case {
    const char* reason;
    void (*spoil)(const host::SpecObjectPtr&);
  };
  const Case cases[] = {
      {"diameter must be positive",
       [](const host::SpecObjectPtr& h) { host::query<host::Hole>(h)->setDiameter(0); }},
      {"depth must be positive",
       [](const host::SpecObjectPtr& h) { host::query<host::HoleLimit>(h)->setDepth(-5); }},
      {"taper closes",
       [](const host::SpecObjectPtr& h) {
         host::query<host::Hole>(h)->setType(host::kHoleTapered);
         host::query<host::TaperedHole>(h)->setTaperAngle(170);
       }},
      {"counterbore diameter must exceed",
       [](const host::SpecObjectPtr& h) { host::query<host::Hole>(h)->setType(2); }},
      {"countersink diameter must exceed",
       [](const host::SpecObjectPtr& h) { host::query<host::Hole>(h)->setType(3); }},
      {"bottom angle",
       [](const host::SpecObjectPtr& h) {
         host::query<host::HoleLimit>(h)->setBottomType(host::kHoleBottomV);
         host::query<host::HoleLimit>(h)->setBottomAngle(180);
       }},
      {"nothing is left",
       [](const host::SpecObjectPtr& h) {
         host::query<host::Hole>(h)->setDiameter(1000);  // wider and deeper than the plate
         host::query<host::HoleLimit>(h)->setDepth(20);
       }},
      {"within 1 km",
       [](const host::SpecObjectPtr& h) { host::query<host::HoleLimit>(h)->setDepth(1e308); }},
  };
  for (const Case& c : cases) {
    auto hole = drillDown(50, 50, 10, 5);
    c.spoil(hole);
    const host::UpdateResult result = hole->update();
    EXPECT_FALSE(result.ok()) << c.reason;
    EXPECT_NE(result.diagnostic.find(c.reason), std::string::npos) << result.diagnostic;
    host::query<host::Descendants>(part->mainBody())->removeChild(hole);
  }
  EXPECT_NEAR(bodyVolume(), 100000, 1e-6);
  EXPECT_EQ(host::query<host::Hole>(drillDown(1, 1, 1, 1))->setDiameter(NAN), host::kInvalidArg);
}

TEST_F(HoleTest, NoHoleWithoutAPlaneOrAcrossTheSupport) {
  EXPECT_FALSE(
      holes->createHole({50, 50, 10}, line({0, 0, 0}, {1, 0, 0}), line({0, 0, 0}, {0, 0, 1})));
  EXPECT_FALSE(holes->createHole({50, 50, 10}, top(), top()));
  EXPECT_FALSE(holes->createHole({50, 50, 10}, top(), line({50, 50, 10}, {1, 0, 0})));
  EXPECT_FALSE(holes->createHole({NAN, 50, 10}, top(), line({50, 50, 10}, {0, 0, 1})));
}

}  // namespace
}  // namespace occt_host::testing
