// Dress-ups on either side of a run of cuts that is computed as one joint cut: the run's
// faces must reach the fillet that follows it, and an earlier chamfer's face must follow
// the run that trims it.
#include <gtest/gtest.h>

#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>

#include <cmath>
#include <vector>

#include "features/dress_up/dress_up_fixture.h"
#include "host/topology.h"
#include "occt_host/model/solid_feature.h"
#include "occt_host/topology/feature_faces.h"

namespace occt_host::testing {
namespace {

class CutRunDressUpTest : public DressUpFixture {
 protected:
  static SolidFeature& solid(const host::SpecObjectPtr& feature) {
    return *std::dynamic_pointer_cast<SolidFeature>(feature);
  }

  static double area(const TopoDS_Shape& face) {
    GProp_GProps props;
    BRepGProp::SurfaceProperties(face, props);
    return props.Mass();
  }

  int bodyFaceCount() {
    TopTools_IndexedMapOfShape all;
    TopExp::MapShapes(solidOf(part->mainBody()), TopAbs_FACE, all);
    return all.Extent();
  }

  // A pocket of [x0, x1] x [-1, 10] from z = 15 up through the top of the block, made
  // current so that the next one follows it.
  host::SpecObjectPtr slot(double x0, double x1) {
    auto feature = features->createPocket(rectangle(x0, -1, x1, 10, 15));
    auto prism = host::query<host::Pocket>(feature);
    if (!prism) return nullptr;
    prism->setLimitType(host::LimitEnd::First, host::kLimitLength);
    prism->setLimitLength(host::LimitEnd::First, 10);
    prism->setLimitType(host::LimitEnd::Second, host::kLimitLength);
    prism->setLimitLength(host::LimitEnd::Second, 0);
    part->setCurrentFeature(feature);
    return feature->update().ok() ? feature : nullptr;
  }
};

TEST_F(CutRunDressUpTest, FilletOnTheRimOfTheLastOf400BatchedBores) {
  auto plateFeature = pad(rectangle(0, 0, 200, 200), 10, 0);
  ASSERT_TRUE(plateFeature && plateFeature->update().ok());
  // Bores of R = 2 on a 20 x 20 grid 10 mm apart from (5, 5), each removed right after the
  // one before: one run of 400 removes, the bore at (195, 195) last.
  std::vector<host::SpecObjectPtr> removes;
  host::SpecObjectPtr previous = plateFeature;
  for (int j = 0; j < 20; ++j) {
    for (int i = 0; i < 20; ++i) {
      auto cutter = bore(5 + 10 * i, 5 + 10 * j, 2);
      ASSERT_TRUE(cutter);
      auto remove = booleans->createRemove(previous, cutter);
      ASSERT_TRUE(remove);
      host::UpdateResult result = remove->update();
      ASSERT_TRUE(result.ok()) << result.diagnostic;
      removes.push_back(previous = remove);
    }
  }
  // The last bore's top rim: its wall's circular edge at z = 10.
  host::SpecObjectPtr rim;
  for (const auto& cell : host::query<host::FeatureGeometry>(removes.back())->boundaryCells()) {
    for (const auto& edgeCell : host::query<host::FaceCell>(cell)->edgeCells()) {
      host::Point3 centre;
      host::Vec3 axis;
      double radius = 0;
      auto curve = host::query<host::EdgeCell>(edgeCell)->edges().at(0)->curve();
      if (curve->circle(centre, axis, radius) &&
          host::norm(centre - host::Point3{195, 195, 10}) < 1e-6)
        rim = host::query<host::Featurize>(edgeCell)->featurize();
    }
  }
  ASSERT_TRUE(rim);
  part->setCurrentFeature(removes.back());
  auto fillet = dressUps->createSolidFillet({rim}, 1, host::kPropagationNone);
  ASSERT_TRUE(fillet);
  host::UpdateResult result = fillet->update();
  ASSERT_TRUE(result.ok()) << result.diagnostic;
  // The first remove was cut on its own when it was added; the fillet started from the
  // other 399 cut from its result as one operation.
  EXPECT_EQ(solid(removes.back()).historyRecord()->covers(), 399u);

  // The round takes the spandrel A = (1 - pi/4) r^2 = 0.214602 (r = 1), whose centroid lies
  // r (10 - 3 pi) / (3 (4 - pi)) = 0.223368 out from the wall, swept about the bore's axis
  // (Pappus): 2 pi (R + 0.223368) A = 2.997952. The same from the square less the quarter
  // disc: 2 pi r^2 (R (1 - pi/4) + r (5/6 - pi/4)) = 2.997952. The plate is 400,000 and each
  // bore pi R^2 * 10 = 40 pi: 400000 - 16000 pi - 2.997952 = 349731.5196.
  const double round = 2 * kPi * (2 * (1 - kPi / 4) + (5.0 / 6 - kPi / 4));
  EXPECT_NEAR(bodyVolume(), 400000.0 - 16000.0 * kPi - round, 1e-6);
  EXPECT_TRUE(bodyValid());
  // The plate's 6 sides, the 400 walls (the last one shortened) and the round's one torus.
  EXPECT_EQ(bodyFaceCount(), 407);
  TopTools_IndexedMapOfShape own = facesOnBody(solid(fillet));
  ASSERT_EQ(own.Extent(), 1);
  auto cells = host::query<host::FeatureGeometry>(fillet)->boundaryCells();
  ASSERT_EQ(cells.size(), 1u);
  EXPECT_EQ(host::query<host::FaceCell>(cells[0])->faces().at(0)->surface()->kind(),
            host::SurfaceKind::Torus);
  // The quarter arc (length pi r / 2, centroid at R + r - 2r/pi) swept about the axis:
  // pi^2 r (R + r) - 2 pi r^2 = 3 pi^2 - 2 pi = 23.3256.
  EXPECT_NEAR(area(own(1)), 3 * kPi * kPi - 2 * kPi, 1e-6);
  // The last wall now stops at z = 9: 2 pi R * 9 = 36 pi; the other 399 keep 40 pi each.
  TopTools_IndexedMapOfShape lastWall = facesOnBody(solid(removes.back()));
  ASSERT_EQ(lastWall.Extent(), 1);
  EXPECT_NEAR(area(lastWall(1)), 36 * kPi, 1e-6);
  int untouched = 0;
  for (std::size_t k = 0; k + 1 < removes.size(); ++k) {
    TopTools_IndexedMapOfShape wall = facesOnBody(solid(removes[k]));
    if (wall.Extent() == 1 && std::abs(area(wall(1)) - 40 * kPi) < 1e-6) ++untouched;
  }
  EXPECT_EQ(untouched, 399);
}

TEST_F(CutRunDressUpTest, ChamferTrimmedByALaterRunOfPockets) {
  auto blockFeature = block();
  ASSERT_TRUE(blockFeature);
  auto front = edge(blockFeature, {0, 0, 20}, {40, 0, 20});
  ASSERT_TRUE(front);
  auto chamfer = dressUps->createChamfer({front}, 0, host::ChamferMode::TwoLengths, 2, 2, 0);
  ASSERT_TRUE(chamfer && chamfer->update().ok());
  part->setCurrentFeature(chamfer);
  // Three slots 4 wide across the chamfered edge, 7 apart, 10 deep in y and 5 in z.
  const double starts[] = {7, 18, 29};
  std::vector<host::SpecObjectPtr> slots;
  for (double x0 : starts) {
    slots.push_back(slot(x0, x0 + 4));
    ASSERT_TRUE(slots.back());
  }
  // The block is 24,000; the chamfer takes 2 * 2 / 2 * 40 = 80; each slot 4 * 10 * 5 = 200,
  // less the 2 * 4 = 8 of the chamfer's prism inside it: 24000 - 80 - 3 * 192 = 23344.
  EXPECT_NEAR(bodyVolume(), 23344.0, 1e-6);
  EXPECT_TRUE(bodyValid());
  // The first slot was cut on its own when it was added, the other two as one operation.
  EXPECT_EQ(solid(slots.back()).historyRecord()->covers(), 2u);
  // The chamfer's face, 2 sqrt 2 wide, is left as x 0..7, 11..18, 22..29 and 33..40: four
  // faces of 7 * 2 sqrt 2 = 19.799 each, still the chamfer's.
  TopTools_IndexedMapOfShape bevel = facesOnBody(solid(chamfer));
  ASSERT_EQ(bevel.Extent(), 4);
  for (int i = 1; i <= bevel.Extent(); ++i) EXPECT_NEAR(area(bevel(i)), 14 * std::sqrt(2.0), 1e-6);
  // Each slot keeps its floor 4 * 10, back 4 * 5 and two sides 10 * 5 less the chamfer's
  // triangle 2: 40 + 20 + 2 * 48 = 156, all within its own 4 mm in x.
  for (std::size_t k = 0; k < slots.size(); ++k) {
    const double x0 = starts[k];
    double total = 0;
    TopTools_IndexedMapOfShape walls = facesOnBody(solid(slots[k]));
    for (int i = 1; i <= walls.Extent(); ++i) total += area(walls(i));
    EXPECT_EQ(walls.Extent(), 4);
    EXPECT_NEAR(total, 156.0, 1e-6);
    for (const auto& cell : host::query<host::FeatureGeometry>(slots[k])->boundaryCells()) {
      host::Box3 box = host::query<host::FaceCell>(cell)->faces().at(0)->box();
      EXPECT_TRUE(box.min.x > x0 - 0.01 && box.max.x < x0 + 4.01) << k;
    }
  }
}

}  // namespace
}  // namespace occt_host::testing
