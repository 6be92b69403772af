#include <gtest/gtest.h>

#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopoDS.hxx>

#include "host/topology.h"
#include "occt_host/model/body.h"
#include "occt_host/model/solid_feature.h"
#include "occt_host/topology/feature_faces.h"
#include "plate_fixture.h"
#include "topology/topology_reference.h"

namespace occt_host::testing {
namespace {

class FeatureFacesTest : public PlateFixture {
 protected:
  host::SpecObjectPtr pocket(const host::SpecObjectPtr& sketch, double first, double second) {
    auto feature = features->createPocket(sketch);
    auto prism = host::query<host::Pocket>(feature);
    if (!prism) return nullptr;
    prism->setLimitLength(host::LimitEnd::First, first);
    prism->setLimitLength(host::LimitEnd::Second, second);
    return feature->update().ok() ? feature : nullptr;
  }

  static SolidFeature& solid(const host::SpecObjectPtr& feature) {
    return *std::dynamic_pointer_cast<SolidFeature>(feature);
  }

  static double area(const TopTools_IndexedMapOfShape& faces) {
    double total = 0;
    for (int i = 1; i <= faces.Extent(); ++i) {
      GProp_GProps props;
      BRepGProp::SurfaceProperties(faces(i), props);
      total += props.Mass();
    }
    return total;
  }
};

TEST_F(FeatureFacesTest, PadKeepsItsSixFacesTrimmedByAThroughHole) {
  auto plateFeature = plate();
  ASSERT_TRUE(plateFeature);
  // Before the hole: 2 * 100 * 100 + 4 * 100 * 10 = 24000.
  EXPECT_EQ(facesOnBody(solid(plateFeature)).Extent(), 6);
  EXPECT_NEAR(area(facesOnBody(solid(plateFeature))), 24000.0, 1e-6);
  auto hole = pocket(sketchWithCircles({{50, 50, 5}}), 20, 20);
  ASSERT_TRUE(hole);
  // The top and bottom lose a disc each: 24000 - 2 * 25 pi = 23842.92...
  TopTools_IndexedMapOfShape padFaces = facesOnBody(solid(plateFeature));
  EXPECT_EQ(padFaces.Extent(), 6);
  EXPECT_NEAR(area(padFaces), 24000.0 - 50.0 * kPi, 1e-6);
  // The pocket made the bore's wall only: 2 pi * 5 * 10 = 314.159...
  TopTools_IndexedMapOfShape holeFaces = facesOnBody(solid(hole));
  EXPECT_NEAR(area(holeFaces), 100.0 * kPi, 1e-6);
  // Together they are the whole boundary of the body's solid.
  TopTools_IndexedMapOfShape all;
  TopExp::MapShapes(solidOf(part->mainBody()), TopAbs_FACE, all);
  EXPECT_EQ(all.Extent(), padFaces.Extent() + holeFaces.Extent());
}

TEST_F(FeatureFacesTest, SlotAcrossTheTopSplitsThePadsFacesAndRemovesNone) {
  auto plateFeature = plate();
  ASSERT_TRUE(plateFeature);
  // A 10 mm wide slot across the plate, 4 mm deep from the top (z 6 to 10).
  auto slot = pocket(rectangle(45, -10, 55, 110, 6), 10, 0);
  ASSERT_TRUE(slot);
  TopTools_IndexedMapOfShape padFaces = facesOnBody(solid(plateFeature));
  // The top splits in two; front and back lose the slot's notch; 7 faces.
  EXPECT_EQ(padFaces.Extent(), 7);
  // 24000 - top strip 10 * 100 - two notches 2 * 10 * 4 = 22920.
  EXPECT_NEAR(area(padFaces), 22920.0, 1e-6);
  // The slot's walls and floor: 2 * 100 * 4 + 10 * 100 = 1800.
  EXPECT_NEAR(area(facesOnBody(solid(slot))), 1800.0, 1e-6);
}

TEST_F(FeatureFacesTest, PocketsCutTogetherEachKeepTheirOwnWall) {
  auto plateFeature = plate();
  ASSERT_TRUE(plateFeature);
  auto first = pocket(sketchWithCircles({{20, 20, 5}}), 20, 20);
  auto second = pocket(sketchWithCircles({{80, 80, 2}}), 20, 20);
  ASSERT_TRUE(first && second);
  // A thicker plate recomputes both pockets as one cut.
  host::query<host::Pad>(plateFeature)->setLimitLength(host::LimitEnd::First, 12);
  ASSERT_TRUE(partObject->update().ok());
  EXPECT_EQ(solid(second).historyRecord()->covers(), 2u);
  // Walls of height 12: 2 pi * 5 * 12 = 120 pi and 2 pi * 2 * 12 = 48 pi.
  EXPECT_NEAR(area(facesOnBody(solid(first))), 120.0 * kPi, 1e-6);
  EXPECT_NEAR(area(facesOnBody(solid(second))), 48.0 * kPi, 1e-6);
}

TEST_F(FeatureFacesTest, FeaturesOfAMergedBodyKeepTheirFaces) {
  auto plateFeature = plate();
  ASSERT_TRUE(plateFeature);
  auto body = newBody();
  // A 10 x 10 x 5 boss standing on the plate's top (z 10 to 15).
  auto boss = pad(rectangle(20, 20, 30, 30, 10), 5, 0);
  ASSERT_TRUE(boss && boss->update().ok());
  auto add = booleans->createAdd(plateFeature, boss);
  ASSERT_TRUE(add && add->update().ok());
  auto merged = featureFacesOfBody(*std::dynamic_pointer_cast<Body>(part->mainBody()));
  bool found = false;
  for (const auto& [feature, faces] : merged) {
    if (feature.get() != &solid(boss)) continue;
    found = true;
    // The boss keeps its top and four sides; its bottom is inside the union:
    // 10 * 10 + 4 * 10 * 5 = 300.
    EXPECT_NEAR(area(faces), 300.0, 1e-6);
  }
  EXPECT_TRUE(found);
}

TEST_F(FeatureFacesTest, BoundaryCellsAndReferencesFollowARecomputedPad) {
  auto plateFeature = plate();
  ASSERT_TRUE(plateFeature);
  auto geometry = host::query<host::FeatureGeometry>(plateFeature);
  ASSERT_TRUE(geometry);
  auto cells = geometry->boundaryCells();
  ASSERT_EQ(cells.size(), 6u);
  // The top face (normal along z at z = 10) and its featurized reference.
  host::SpecObjectPtr topReference;
  for (const auto& cell : cells) {
    auto faceCell = host::query<host::FaceCell>(cell);
    ASSERT_TRUE(faceCell);
    auto face = faceCell->faces().at(0);
    host::Point3 origin;
    host::Vec3 normal;
    ASSERT_TRUE(face->surface()->plane(origin, normal));
    host::Box3 box = face->box();
    if (std::abs(normal.z) > 0.5 && box.min.z > 9) {
      EXPECT_EQ(faceCell->edgeCells().size(), 4u);
      topReference = host::query<host::Featurize>(cell)->featurize();
    }
  }
  ASSERT_TRUE(topReference);
  EXPECT_TRUE(host::query<host::FaceReference>(topReference));
  EXPECT_FALSE(host::query<host::EdgeReference>(topReference));
  // The pad grows to 14 mm: the reference now names the new top at z = 14.
  host::query<host::Pad>(plateFeature)->setLimitLength(host::LimitEnd::First, 14);
  ASSERT_TRUE(plateFeature->update().ok());
  auto reference = std::dynamic_pointer_cast<TopologyReference>(topReference);
  TopoDS_Shape live = reference->resolveIn(solid(plateFeature));
  ASSERT_FALSE(live.IsNull());
  GProp_GProps props;
  BRepGProp::SurfaceProperties(live, props);
  EXPECT_NEAR(props.CentreOfMass().Z(), 14.0, 1e-9);
}

// A chain asks for every feature's faces after each item, each answer carried on from the
// last. Kept on every result, the answers would hold the square of the chain's length; the
// result each one was carried on from gives its answer up but for every 32nd, and an ask
// about an earlier result walks back to the nearest one kept, to the same faces as before.
TEST_F(FeatureFacesTest, AnswersGivenUpAlongAChainAreFoundAgainTheSame) {
  auto plateFeature = plate();
  ASSERT_TRUE(plateFeature);
  std::vector<host::SpecObjectPtr> made;
  std::vector<double> plateAreaThen;
  for (int i = 0; i < 40; ++i) {
    const double x = 6 + 11 * (i % 8), y = 6 + 18 * (i / 8);
    // A bore of radius 2 through the plate and a boss of radius 2 beside it, 5 mm high;
    // each breaks the other's run, so that every item is a computation of its own.
    auto hole = FeatureFacesTest::pocket(sketchWithCircles({{x, y, 2}}), 20, 20);
    ASSERT_TRUE(hole);
    auto boss = pad(sketchWithCircles({{x, y + 9, 2}}), 15, 0);
    ASSERT_TRUE(boss && boss->update().ok());
    made.push_back(hole);
    made.push_back(boss);
    // The bore's wall is 2 pi 2 x 10, the boss's wall above the plate and its top 2 pi 2 x 5
    // + pi 2^2.
    EXPECT_NEAR(area(facesOnBody(solid(hole))), 40 * kPi, 1e-6);
    EXPECT_NEAR(area(facesOnBody(solid(boss))), 24 * kPi, 1e-6);
    plateAreaThen.push_back(area(facesOf(solid(plateFeature), solid(boss))));
  }
  // The results the chain went on from gave their answers up (the 20th is no 32nd).
  EXPECT_EQ(solid(made[19]).historyRecord()->cachedFaces(), nullptr);
  EXPECT_NE(solid(made.back()).historyRecord()->cachedFaces(), nullptr);
  // Asked again through each boss, the plate's faces are what they were then: each bore
  // takes two discs of pi 2^2 from its top and bottom and each boss one from its top.
  for (std::size_t i = 0; i < plateAreaThen.size(); ++i) {
    const double expected = 24000 - 3 * 4 * kPi * static_cast<double>(i + 1);
    EXPECT_NEAR(plateAreaThen[i], expected, 1e-6) << i;
    EXPECT_NEAR(area(facesOf(solid(plateFeature), solid(made[2 * i + 1]))), expected, 1e-6) << i;
  }
}

}  // namespace
}  // namespace occt_host::testing
