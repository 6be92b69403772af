// The faces that shafts, lofts and ribs make, as later features and references see them.
#include <gtest/gtest.h>

#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>

#include <cmath>

#include "features/sweep/sweep_fixture.h"
#include "host/topology.h"
#include "occt_host/model/solid_feature.h"
#include "occt_host/topology/feature_faces.h"

namespace occt_host::testing {
namespace {

class SweepFacesTest : public SweepFixture {
 protected:
  // A 40 x 40 plate at z -5..0 for a swept feature to stand on.
  host::SpecObjectPtr plate() {
    auto feature = pad(sketch({{0, 0, -5}}, rectangle(-20, -20, 20, 20)), 5, 0);
    return feature && feature->update().ok() ? feature : nullptr;
  }
  static TopTools_IndexedMapOfShape faces(const host::SpecObjectPtr& feature) {
    return facesOnBody(*std::dynamic_pointer_cast<SolidFeature>(feature));
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

TEST_F(SweepFacesTest, ShaftOnAPlateMakesTheRingsWallsAndTop) {
  auto plateFeature = plate();
  ASSERT_TRUE(plateFeature);
  auto shaft =
      sweeps->createShaft(sketch({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, rectangle(10, 0, 20, 5)));
  auto parameters = host::query<host::Shaft>(shaft);
  parameters->setAxis(axisLine({0, 0, 0}, {0, 0, 1}));
  ASSERT_TRUE(shaft->update().ok());
  // The ring's bottom lies on the plate and goes; its walls 2 pi 20 5 + 2 pi 10 5 and
  // top pi (20^2 - 10^2) remain: 3 faces of 600 pi.
  TopTools_IndexedMapOfShape made = faces(shaft);
  EXPECT_EQ(made.Extent(), 3);
  EXPECT_NEAR(area(made), 600 * kPi, 1e-6);
  // The plate keeps its faces, its top less the annulus (the fuse may cut the top into
  // pieces): 2 * 1600 + 4 * 40 * 5 - 300 pi.
  TopTools_IndexedMapOfShape kept = faces(plateFeature);
  EXPECT_NEAR(area(kept), 4000 - 300 * kPi, 1e-6);
  // The feature answers its faces as cells that featurize into references to it.
  auto geometry = host::query<host::FeatureGeometry>(shaft);
  ASSERT_TRUE(geometry);
  auto cells = geometry->boundaryCells();
  ASSERT_EQ(cells.size(), 3u);
  auto reference =
      host::query<host::FaceReference>(host::query<host::Featurize>(cells[0])->featurize());
  ASSERT_TRUE(reference);
  EXPECT_TRUE(host::sameObject(reference->feature(), shaft));
}

TEST_F(SweepFacesTest, LoftOnAPlateMakesItsSideAndTop) {
  auto plateFeature = plate();
  ASSERT_TRUE(plateFeature);
  auto feature = sweeps->createLoft();
  auto loft = host::query<host::Loft>(feature);
  loft->addSection(sketch({}, {{}, {{0, 0, 10}}, {}}), 1, nullptr);
  loft->addSection(sketch({{0, 0, 20}}, {{}, {{0, 0, 20}}, {}}), 1, nullptr);
  ASSERT_TRUE(feature->update().ok());
  // The frustum's side pi (10 + 20) sqrt(20^2 + 10^2) and top pi 20^2; its bottom lies on
  // the plate's top.
  const double expected = kPi * 30 * std::sqrt(500.0) + 400 * kPi;
  EXPECT_NEAR(area(faces(feature)), expected, expected * 1e-3);
  EXPECT_NEAR(area(faces(plateFeature)), 4000 - 100 * kPi, 1e-3);
}

TEST_F(SweepFacesTest, RibAloneMakesEveryFaceOfItsTube) {
  // A circle of radius 2 along 50 + 10 pi: the side 2 pi 2 (50 + 10 pi) and two end discs.
  auto rib = sweeps->createRib(sketch({{0, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{}, {{0, 0, 2}}, {}}),
                               sketch({}, {{{0, 0, 50, 0}}, {}, {{50, 20, 20, -kPi / 2, 0}}}));
  ASSERT_TRUE(rib->update().ok());
  TopTools_IndexedMapOfShape made = faces(rib);
  TopTools_IndexedMapOfShape all;
  TopExp::MapShapes(solidOf(rib), TopAbs_FACE, all);
  EXPECT_EQ(made.Extent(), all.Extent());
  const double expected = 4 * kPi * (50 + 10 * kPi) + 8 * kPi;
  EXPECT_NEAR(area(made), expected, expected * 1e-3);
}

}  // namespace
}  // namespace occt_host::testing
