#include <gtest/gtest.h>

#include <BRepCheck_Analyzer.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>

#include <chrono>
#include <vector>

#include "features/boolean/boolean_ops.h"
#include "occt_host/kernel/operation_budget.h"
#include "occt_host/model/solid_feature.h"
#include "plate_fixture.h"

namespace occt_host::testing {
namespace {

using RecomputeTest = PlateFixture;

bool upToDate(const host::SpecObjectPtr& feature) {
  auto solid = std::dynamic_pointer_cast<SolidFeature>(feature);
  return solid && solid->upToDate();
}

class BoreChainTest : public PlateFixture {
 protected:
  // Fifty r = 2 bores on a 10 x 5 grid 9 mm apart, each removed by a boolean operated
  // on the plate's pad, so that each lands right after the pad, before the earlier ones.
  void SetUp() override {
    PlateFixture::SetUp();
    plateFeature = plate();
    ASSERT_TRUE(plateFeature);
    for (int j = 0; j < 5; ++j) {
      for (int i = 0; i < 10; ++i) {
        auto cutter = bore(10 + 9 * i, 10 + 9 * j, 2);
        ASSERT_TRUE(cutter);
        cutters.push_back(cutter);
        auto remove = booleans->createRemove(plateFeature, cutter);
        ASSERT_TRUE(remove);
        host::UpdateResult result = remove->update();
        ASSERT_TRUE(result.ok()) << result.diagnostic;
        removes.push_back(remove);
        part->setCurrentFeature(remove);
      }
    }
  }

  host::SpecObjectPtr plateFeature;
  std::vector<host::SpecObjectPtr> cutters;
  std::vector<host::SpecObjectPtr> removes;
};

TEST_F(BoreChainTest, FiftyRemovesMergeIntoTheExpectedSolid) {
  // Each bore takes pi * 2^2 * 10 = 40 pi: 100000 - 50 * 40 pi = 93716.81...
  double expected = 100000.0 - 50 * kPi * 4.0 * 10.0;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), expected, expected * 1e-6);
  std::vector<double> volumes = exportedSolidVolumes();
  ASSERT_EQ(volumes.size(), 1u);
  EXPECT_NEAR(volumes[0], expected, expected * 1e-6);
  EXPECT_TRUE(partObject->update().ok());
}

TEST_F(BoreChainTest, UpdatesInsideTheRunComputeNothingUntilTheSolidIsAskedFor) {
  // The last one created sits right after the pad; all others follow it. Their updates
  // made their tools and cut nothing.
  EXPECT_FALSE(upToDate(removes.back()));
  EXPECT_FALSE(upToDate(removes.front()));
  solidOf(part->mainBody());
  EXPECT_TRUE(upToDate(removes.front()));
  // One cut stood for the fifty: the one right after the pad holds no result of its own.
  EXPECT_FALSE(upToDate(removes.back()));
  EXPECT_EQ(std::dynamic_pointer_cast<SolidFeature>(removes.front())->historyRecord()->covers(),
            50u);
}

TEST_F(BoreChainTest, AFeatureInsideTheRunGivesItsOwnSolid) {
  solidOf(part->mainBody());
  // removes[10] follows removes[49] .. removes[11]: the plate minus 40 bores.
  double expected = 100000.0 - 40 * kPi * 40.0;
  EXPECT_NEAR(volume(solidOf(removes[10])), expected, expected * 1e-6);
}

TEST_F(BoreChainTest, ChangingAToolBodyReachesTheBodySolid) {
  solidOf(part->mainBody());
  // Bore 7 now spans z = 2 .. 7, a closed cavity of pi * 4 * 5 = 20 pi inside the plate.
  auto prism = host::query<host::Prism>(cutters[7]);
  prism->setLimitLength(host::LimitEnd::First, 7);
  prism->setLimitLength(host::LimitEnd::Second, -2);
  ASSERT_TRUE(cutters[7]->update().ok());
  double expected = 100000.0 - 49 * kPi * 40.0 - kPi * 20.0;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), expected, expected * 1e-6);
}

TEST_F(BoreChainTest, MeasuresAlongTheRunFollowAToolChangedBetweenThem) {
  // Measured feature by feature down the body, as a report measures after each item, while
  // the run is never cut: the plate less 40 pi for each bore so far.
  auto measure = [](const host::SpecObjectPtr& feature) {
    double mm3 = -1;
    EXPECT_TRUE(host::query<host::SolidVolume>(feature)->volume(mm3));
    return mm3;
  };
  for (std::size_t m = 0; m < removes.size(); ++m) {
    const double expected = 100000.0 - 40 * kPi * static_cast<double>(m + 1);
    ASSERT_NEAR(measure(removes[removes.size() - 1 - m]), expected, expected * 1e-9) << m;
  }
  // Bore 7 now spans z = 2 .. 7, a cavity of 20 pi that crosses no face of the plate.
  auto prism = host::query<host::Prism>(cutters[7]);
  prism->setLimitLength(host::LimitEnd::First, 7);
  prism->setLimitLength(host::LimitEnd::Second, -2);
  ASSERT_TRUE(cutters[7]->update().ok());
  const double expected = 100000.0 - 49 * kPi * 40.0 - kPi * 20.0;
  EXPECT_NEAR(measure(removes.front()), expected, expected * 1e-9);
  EXPECT_FALSE(upToDate(removes.front()));
  EXPECT_NEAR(volume(solidOf(part->mainBody())), expected, expected * 1e-6);
}

TEST_F(BoreChainTest, AFailingRemoveInsideTheRunIsReported) {
  solidOf(part->mainBody());
  // A zero-length tool fails the tool body, leaving it without a solid.
  auto prism = host::query<host::Prism>(cutters[20]);
  prism->setLimitLength(host::LimitEnd::First, 0);
  prism->setLimitLength(host::LimitEnd::Second, 0);
  // The other 49 bores still cut: 100000 - 49 * 40 pi.
  double expected = 100000.0 - 49 * kPi * 40.0;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), expected, expected * 1e-6);
  host::UpdateResult result = part->mainBody()->update();
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.diagnostic.find("has no solid"), std::string::npos) << result.diagnostic;
  EXPECT_FALSE(removes[20]->update().ok());
}

TEST_F(BoreChainTest, AJointCutPastItsBudgetIsNotRetriedOneByOne) {
  ::occt_host::testing::ScopedBudget budget(0.5);
  // The next cut takes a minute, as a hung kernel step would.
  ::occt_host::testing::delayNextOperation(std::chrono::seconds(60));
  const auto start = std::chrono::steady_clock::now();
  host::UpdateResult result = part->mainBody()->update();
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_TRUE(result.ok()) << result.diagnostic;
  EXPECT_LT(elapsed, 20.0);
  // The first remove was computed alone when it was made; carrying that cut on with the
  // other 49 runs past the budget, and the run is cut again in one operation from the
  // plate: the last remove's computation stands for all fifty (one by one, it would stand
  // for itself alone).
  auto tip = std::dynamic_pointer_cast<SolidFeature>(removes.front());
  EXPECT_EQ(tip->historyRecord()->covers(), 50u);
  // 100000 - 50 * 40 pi, and every remove up to date and sound.
  const double expected = 100000.0 - 50 * kPi * 40.0;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), expected, expected * 1e-6);
  for (const auto& remove : removes) EXPECT_TRUE(remove->update().ok());
}

TEST_F(BoreChainTest, ARunThatGrewInsideIsCarriedOnFromItsKeptCut) {
  // The body's solid with fifty bores, then one more bore placed right after the pad.
  solidOf(part->mainBody());
  auto extra = booleans->createRemove(plateFeature, bore(95, 95, 2));
  ASSERT_TRUE(extra && extra->update().ok());
  // 100000 - 51 * 40 pi.
  const double expected = 100000.0 - 51 * kPi * 40.0;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), expected, expected * 1e-6);
  // Each bore owns its wall (one cylindrical face), the plate its six sides.
  EXPECT_EQ(host::query<host::FeatureGeometry>(extra)->boundaryCells().size(), 1u);
  EXPECT_EQ(host::query<host::FeatureGeometry>(removes[3])->boundaryCells().size(), 1u);
  EXPECT_EQ(host::query<host::FeatureGeometry>(plateFeature)->boundaryCells().size(), 6u);
  EXPECT_TRUE(partObject->update().ok());
}

TEST_F(RecomputeTest, AFeatureBuiltOnTheRunSeesEveryCut) {
  auto plateFeature = plate();
  auto first = booleans->createRemove(plateFeature, bore(20, 20, 5));
  auto second = booleans->createRemove(plateFeature, bore(80, 80, 5));
  ASSERT_TRUE(second->update().ok());
  // A pad after both removes, in the plate's body: a 10 x 10 x 5 block on top.
  part->setCurrentFeature(first);
  auto block = pad(rectangle(40, 40, 50, 50, 10), 5, 0);
  ASSERT_TRUE(block->update().ok());
  // 100000 - 2 * 250 pi + 500.
  double expected = 100500.0 - 2 * kPi * 250.0;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), expected, expected * 1e-6);
}

// Three overlapping blocks padded in a row, 6 x 10 each 5 mm apart, the middle one 12
// tall and the others 10: one union, computed when the solid is asked for, with the faces
// that meet in one surface merged as each pad alone merges them.
TEST_F(RecomputeTest, PadsInARowAreOneUnionWithTheirCoplanarFacesMerged) {
  std::vector<host::SpecObjectPtr> pads;
  for (int i = 0; i < 3; ++i) {
    pads.push_back(pad(rectangle(5.0 * i, 0, 5.0 * i + 6, 10), i == 1 ? 12 : 10, 0));
    ASSERT_TRUE(pads.back()->update().ok());
  }
  EXPECT_FALSE(upToDate(pads.back()));
  const TopoDS_Shape solid = solidOf(part->mainBody());
  // 10 x (5 x 10 + 6 x 12 + 5 x 10) = 1720.
  EXPECT_NEAR(volume(solid), 1720.0, 1720.0 * 1e-9);
  // The bottom, front, back and two ends, three tops and the two steps up to the middle.
  TopTools_IndexedMapOfShape faces;
  TopExp::MapShapes(solid, TopAbs_FACE, faces);
  EXPECT_EQ(faces.Extent(), 10);
  // The first pad was computed alone when it was made; one union added the other two.
  EXPECT_EQ(std::dynamic_pointer_cast<SolidFeature>(pads.back())->historyRecord()->covers(), 2u);
  // A pocket after them ends the run: its own update computes it on the union.
  auto slot = pocket(rectangle(7, 2, 9, 8, 9), 3, 0);
  ASSERT_TRUE(slot->update().ok());
  EXPECT_TRUE(upToDate(slot));
  // 2 x 6 x 3 from the top of the middle block, z = 9 .. 12.
  EXPECT_NEAR(volume(solidOf(part->mainBody())), 1684.0, 1684.0 * 1e-9);
}

// A cut the kernel got wrong without a warning is not checked when it is made, but the
// body's solid is, before anything shows, measures or exports it: the body is computed again
// with every result checked, and comes out right.
TEST_F(RecomputeTest, AnUncheckedInvalidCutNeverReachesTheBodysSolid) {
  auto plateFeature = plate();
  auto first = booleans->createRemove(plateFeature, bore(20, 20, 5));
  ASSERT_TRUE(first->update().ok());
  auto second = booleans->createRemove(plateFeature, bore(80, 80, 5));
  ASSERT_TRUE(second->update().ok());
  ::occt_host::booleans::testing::breakNextResult();
  const TopoDS_Shape solid = solidOf(part->mainBody());
  EXPECT_TRUE(BRepCheck_Analyzer(solid).IsValid());
  // 100000 - 2 * 250 pi.
  const double expected = 100000.0 - 2 * kPi * 250.0;
  EXPECT_NEAR(volume(solid), expected, expected * 1e-6);
  EXPECT_TRUE(part->mainBody()->update().ok());
}

TEST_F(RecomputeTest, AToolBodysSolidIsCheckedBeforeItIsCut) {
  auto plateFeature = plate();
  // A void inside the plate: two overlapping boxes, 20 x 20 x 6 each, in a tool body.
  ASSERT_TRUE(newBody());
  auto first = pad(rectangle(20, 20, 40, 40, 2), 6, 0);
  ASSERT_TRUE(first && first->update().ok());
  auto second = pad(rectangle(30, 30, 50, 50, 2), 6, 0);
  ASSERT_TRUE(second && second->update().ok());
  // The tool body's union comes out one face short. Cut unchecked, it would cut nothing
  // and leave a valid plate: no check after the cut could tell.
  ::occt_host::booleans::testing::breakNextResult();
  auto remove = booleans->createRemove(plateFeature, first);
  ASSERT_TRUE(remove);
  remove->update();
  const TopoDS_Shape solid = solidOf(part->mainBody());
  EXPECT_TRUE(BRepCheck_Analyzer(solid).IsValid());
  // The tool body's check found the union short, so it was computed afresh:
  // 100000 - (400 + 400 - 100) * 6.
  EXPECT_NEAR(volume(solid), 95800.0, 95800.0 * 1e-6);
  EXPECT_TRUE(remove->update().ok());
}

// A pad that starts its body from a profile of one contour is the kernel's prism of a face
// the sketch checked: valid as made, it is cut as a tool without the full check. A profile
// with a hole is not checked as a whole, and a pad onto a solid is a union; neither is.
TEST_F(RecomputeTest, OnlyAFirstPadOfOneContourIsValidAsMade) {
  auto plateFeature = plate();
  auto validAsMade = [](const host::SpecObjectPtr& feature) {
    return std::dynamic_pointer_cast<SolidFeature>(feature)->validAsMade();
  };
  ASSERT_TRUE(newBody());
  auto post = pad(rectangle(20, 20, 40, 40, 2), 6, 0);
  ASSERT_TRUE(post && post->update().ok());
  EXPECT_TRUE(validAsMade(post));
  auto onto = pad(rectangle(30, 30, 50, 50, 2), 6, 0);
  ASSERT_TRUE(onto && onto->update().ok());
  EXPECT_FALSE(validAsMade(onto));
  ASSERT_TRUE(newBody());
  auto ring = pad(sketchWithCircles({{70, 70, 10}, {70, 70, 5}}, {0, 0, 2}), 6, 0);
  ASSERT_TRUE(ring && ring->update().ok());
  EXPECT_FALSE(validAsMade(ring));
  // The ring's body cut from the plate: 100000 - pi x (100 - 25) x 6.
  auto remove = booleans->createRemove(plateFeature, ring);
  ASSERT_TRUE(remove && remove->update().ok());
  const double expected = 100000.0 - kPi * 75 * 6;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), expected, expected * 1e-6);
}

}  // namespace
}  // namespace occt_host::testing
