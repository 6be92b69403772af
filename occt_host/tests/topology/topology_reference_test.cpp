// How references to faces and edges behave when the solid they were taken on is rebuilt:
// a face or edge that moved with a changed parameter is found again, one that a feature
// inserted before the consumer took away makes the consumer fail instead of landing on
// some other face or edge.
#include <gtest/gtest.h>

#include <BRepBndLib.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <Bnd_Box.hxx>
#include <GProp_GProps.hxx>

#include <cmath>
#include <functional>
#include <string>

#include "features/dress_up/dress_up_fixture.h"
#include "host/dress_up.h"
#include "host/pattern.h"
#include "host/topology.h"
#include "host/wireframe.h"
#include "occt_host/kernel/inspect.h"
#include "occt_host/model/solid_feature.h"
#include "topology/topology_reference.h"

namespace occt_host::testing {
namespace {

// A fillet of radius r along a straight convex edge of length L removes (1 - pi/4) r^2 L.
double roundedAway(double r, double length) {
  return (1 - kPi / 4) * r * r * length;
}

class TopologyReferenceTest : public DressUpFixture {
 protected:
  // The reference of `feature`'s planar face whose box passes `keep`.
  host::SpecObjectPtr face(const host::SpecObjectPtr& feature,
                           const std::function<bool(const host::Box3&)>& keep) {
    for (const auto& cell : host::query<host::FeatureGeometry>(feature)->boundaryCells()) {
      auto found = host::query<host::FaceCell>(cell)->faces().at(0);
      host::Point3 origin;
      host::Vec3 normal;
      if (found->surface()->plane(origin, normal) && keep(found->box()))
        return host::query<host::Featurize>(cell)->featurize();
    }
    return nullptr;
  }

  // A pocket of the rectangle [x0, x1] x [y0, y1] drawn on the plane z, reaching `depth`
  // down and as far up (above the solid, so it cuts z in [z - depth, z]), placed right
  // after `after` in the body.
  host::SpecObjectPtr pocketAfter(const host::SpecObjectPtr& after, double x0, double y0, double x1,
                                  double y1, double z, double depth) {
    part->setCurrentFeature(after);
    auto feature = features->createPocket(rectangle(x0, y0, x1, y1, z));
    auto prism = host::query<host::Pocket>(feature);
    if (!prism) return nullptr;
    prism->setLimitLength(host::LimitEnd::First, depth);
    prism->setLimitLength(host::LimitEnd::Second, depth);
    return feature;
  }

  // A bore of radius 3 at (10, 15) right after `after`, reaching `depth` down from z = 20
  // and as far up; updated.
  host::SpecObjectPtr boreAfter(const host::SpecObjectPtr& after, double depth) {
    part->setCurrentFeature(after);
    auto feature = features->createPocket(sketchWithCircles({{10, 15, 3}}, {0, 0, 20}));
    auto prism = host::query<host::Pocket>(feature);
    if (!prism) return nullptr;
    prism->setLimitLength(host::LimitEnd::First, depth);
    prism->setLimitLength(host::LimitEnd::Second, depth);
    return feature->update().ok() ? feature : nullptr;
  }

  // The reference of an edge of `feature`'s faces whose box passes `keep`.
  host::SpecObjectPtr edgeWhere(const host::SpecObjectPtr& feature,
                                const std::function<bool(const host::Box3&)>& keep) {
    for (const auto& cell : host::query<host::FeatureGeometry>(feature)->boundaryCells()) {
      for (const auto& edgeCell : host::query<host::FaceCell>(cell)->edgeCells()) {
        if (keep(host::query<host::EdgeCell>(edgeCell)->edges().at(0)->box()))
          return host::query<host::Featurize>(edgeCell)->featurize();
      }
    }
    return nullptr;
  }

  static bool failsNoLongerOnTheSolid(const host::SpecObjectPtr& feature) {
    host::UpdateResult result = feature->update();
    return host::failed(result.status) &&
           result.diagnostic.find("is no longer on the solid") != std::string::npos;
  }
};

TEST_F(TopologyReferenceTest, EdgesFollowAPadThatGrew) {
  auto blockFeature = block();
  ASSERT_TRUE(blockFeature);
  // A top edge, which moves up with the top, and an upright edge, which stretches.
  auto topFront = edge(blockFeature, {0, 0, 20}, {40, 0, 20});
  auto upright = edge(blockFeature, {40, 30, 0}, {40, 30, 20});
  ASSERT_TRUE(topFront && upright);
  auto fillet = dressUps->createSolidFillet({topFront, upright}, 2, host::kPropagationNone);
  ASSERT_TRUE(fillet && fillet->update().ok()) << fillet->update().diagnostic;
  // 24000 - (1 - pi/4) * 4 * (40 + 20) = 24000 - 51.50...
  EXPECT_NEAR(bodyVolume(), 24000 - roundedAway(2, 60), 1e-6 * 24000);
  // The block grows to 26 mm: both edges are rebuilt, 6 mm higher and 6 mm longer.
  host::query<host::Pad>(blockFeature)->setLimitLength(host::LimitEnd::First, 26);
  ASSERT_TRUE(partObject->update().ok()) << partObject->update().diagnostic;
  // 40 * 30 * 26 = 31200, less (1 - pi/4) * 4 * (40 + 26) = 56.65...
  EXPECT_NEAR(bodyVolume(), 31200 - roundedAway(2, 66), 1e-6 * 31200);
  EXPECT_TRUE(bodyValid());
}

TEST_F(TopologyReferenceTest, FaceFollowsAPadThatGrew) {
  auto blockFeature = block();
  ASSERT_TRUE(blockFeature);
  auto top = face(blockFeature, [](const host::Box3& box) { return box.min.z > 19; });
  ASSERT_TRUE(top);
  auto shell = dressUps->createShell({top}, 2, 0);
  ASSERT_TRUE(shell && shell->update().ok()) << shell->update().diagnostic;
  // 24000 - 36 * 26 * 18 = 24000 - 16848 = 7152.
  EXPECT_NEAR(bodyVolume(), 7152.0, 1e-6 * 7152.0);
  host::query<host::Pad>(blockFeature)->setLimitLength(host::LimitEnd::First, 26);
  ASSERT_TRUE(partObject->update().ok()) << partObject->update().diagnostic;
  // Still open at the (new) top: 31200 - 36 * 26 * 24 = 31200 - 22464 = 8736.
  EXPECT_NEAR(bodyVolume(), 8736.0, 1e-6 * 8736.0);
}

TEST_F(TopologyReferenceTest, EdgeCutAwayByAnInsertedPocketFailsTheFillet) {
  auto blockFeature = block();
  ASSERT_TRUE(blockFeature);
  auto topFront = edge(blockFeature, {0, 0, 20}, {40, 0, 20});
  ASSERT_TRUE(topFront);
  auto fillet = dressUps->createSolidFillet({topFront}, 2, host::kPropagationNone);
  ASSERT_TRUE(fillet && fillet->update().ok()) << fillet->update().diagnostic;
  // A bore after the fillet, through the block at (20, 20): pi * 3^2 * 20 = 565.48...
  part->setCurrentFeature(fillet);
  auto bore = features->createPocket(sketchWithCircles({{20, 20, 3}}, {0, 0, 20}));
  auto borePrism = host::query<host::Pocket>(bore);
  ASSERT_TRUE(borePrism);
  borePrism->setLimitLength(host::LimitEnd::First, 30);
  borePrism->setLimitLength(host::LimitEnd::Second, 30);
  ASSERT_TRUE(bore->update().ok()) << bore->update().diagnostic;
  const double boreVolume = kPi * 9 * 20;
  EXPECT_NEAR(bodyVolume(), 24000 - roundedAway(2, 40) - boreVolume, 1e-6 * 24000);
  // A step along the front top, inserted before the fillet, takes the filleted edge away:
  // [0, 40] x [0, 5] x [16, 20] = 800. Its new edges along x (y = 5 on top, z = 16 in
  // front) run the same way, are as long and lie close by, but are not the edge named.
  auto step = pocketAfter(blockFeature, -1, -1, 41, 5, 20, 4);
  ASSERT_TRUE(step && step->update().ok()) << step->update().diagnostic;
  EXPECT_TRUE(failsNoLongerOnTheSolid(fillet)) << fillet->update().diagnostic;
  host::UpdateResult whole = partObject->update();
  EXPECT_FALSE(whole.ok());
  EXPECT_NE(whole.diagnostic.find(fillet->name()), std::string::npos) << whole.diagnostic;
  // The fillet passed the stepped block on unrounded and the bore after it still cut:
  // 24000 - 800 - 565.48... Any edge rounded instead would take another 34.33...
  EXPECT_NEAR(bodyVolume(), 24000 - 800 - boreVolume, 1e-6 * 24000);
  EXPECT_TRUE(bodyValid());
}

TEST_F(TopologyReferenceTest, FaceSplitIntoTwoMirrorImagesIsRefused) {
  auto blockFeature = block();
  ASSERT_TRUE(blockFeature);
  auto top = face(blockFeature, [](const host::Box3& box) { return box.min.z > 19; });
  ASSERT_TRUE(top);
  auto shell = dressUps->createShell({top}, 2, 0);
  ASSERT_TRUE(shell && shell->update().ok()) << shell->update().diagnostic;
  // A slot across the middle, inserted before the shell, splits the top into two
  // 18 x 30 halves, mirror images about x = 20: neither is more the top than the other.
  // The slot takes [18, 22] x [0, 30] x [15, 20] = 600.
  auto slot = pocketAfter(blockFeature, 18, -1, 22, 31, 20, 5);
  ASSERT_TRUE(slot && slot->update().ok()) << slot->update().diagnostic;
  EXPECT_TRUE(failsNoLongerOnTheSolid(shell)) << shell->update().diagnostic;
  EXPECT_NEAR(bodyVolume(), 24000 - 600, 1e-6 * 24000);
}

TEST_F(TopologyReferenceTest, TopTakenAwayIsNotReplacedByTheBottom) {
  auto blockFeature = block();
  ASSERT_TRUE(blockFeature);
  auto top = face(blockFeature, [](const host::Box3& box) { return box.min.z > 19; });
  ASSERT_TRUE(top);
  auto shell = dressUps->createShell({top}, 2, 0);
  ASSERT_TRUE(shell && shell->update().ok()) << shell->update().diagnostic;
  // Inserted before the shell, a pocket takes the whole top 2 mm down: the new top is the
  // pocket's floor. The block's bottom is as large and parallel, but faces the other way.
  auto skim = pocketAfter(blockFeature, -1, -1, 41, 31, 20, 2);
  ASSERT_TRUE(skim && skim->update().ok()) << skim->update().diagnostic;
  EXPECT_TRUE(failsNoLongerOnTheSolid(shell)) << shell->update().diagnostic;
  // 40 * 30 * 18 = 21600, not hollowed.
  EXPECT_NEAR(bodyVolume(), 21600, 1e-6 * 24000);
}

TEST_F(TopologyReferenceTest, EdgeTakenAwayIsNotReplacedByItsTwinFarAway) {
  ASSERT_TRUE(block());
  // Two 10 x 10 x 5 bosses on the block's top, 30 mm apart, padded as one feature.
  auto sketch = rectangle(0, 0, 10, 10, 20);
  auto edition = host::query<host::Sketch>(sketch);
  auto factory = host::query<host::Factory2D>(sketch);
  edition->openEdition();
  factory->createLine({30, 0}, {40, 0});
  factory->createLine({40, 0}, {40, 10});
  factory->createLine({40, 10}, {30, 10});
  factory->createLine({30, 10}, {30, 0});
  edition->closeEdition();
  auto bosses = pad(sketch, 5, 0);
  ASSERT_TRUE(bosses && bosses->update().ok()) << bosses->update().diagnostic;
  auto firstFront = edge(bosses, {0, 0, 25}, {10, 0, 25});
  ASSERT_TRUE(firstFront);
  auto fillet = dressUps->createSolidFillet({firstFront}, 1, host::kPropagationNone);
  ASSERT_TRUE(fillet && fillet->update().ok()) << fillet->update().diagnostic;
  // 24000 + 2 * 500 - (1 - pi/4) * 1 * 10 = 25000 - 2.146...
  EXPECT_NEAR(bodyVolume(), 25000 - roundedAway(1, 10), 1e-6 * 25000);
  // Inserted before the fillet, a pocket takes the first boss's top 2 mm off. The twin
  // edge on the second boss is the same length and direction but 30 mm away; the new
  // edge at z = 23 lies 2 mm below, but between the boss's side and the pocket's floor.
  auto cap = pocketAfter(bosses, -1, -1, 11, 11, 25, 2);
  ASSERT_TRUE(cap && cap->update().ok()) << cap->update().diagnostic;
  EXPECT_TRUE(failsNoLongerOnTheSolid(fillet)) << fillet->update().diagnostic;
  // 25000 - 10 * 10 * 2 = 24800, nothing rounded.
  EXPECT_NEAR(bodyVolume(), 24800, 1e-6 * 25000);
  EXPECT_TRUE(bodyValid());
}

// An edge split into halves on its own line, equally far from where it was, is found again
// as the half that still lies between the faces the edge lay between.
TEST_F(TopologyReferenceTest, EdgeSplitInTwoIsFoundAgainWhereItsFacesStillMeet) {
  auto blockFeature = block();
  ASSERT_TRUE(blockFeature);
  auto topFront = edge(blockFeature, {0, 0, 20}, {40, 0, 20});
  ASSERT_TRUE(topFront);
  // A pocket for x in [20, 50] whose slanted wall runs from the top front edge (y = 0,
  // z = 20) down to (y = 10, z = 10), with its floor at z = 5: it splits the edge at
  // x = 20, the first half still between the top and the front, the second between the
  // top and the pocket's wall.
  auto sketch = sketches->createSketch({35, 0, 0}, {0, 1, 0}, {0, 0, 1});
  auto edition = host::query<host::Sketch>(sketch);
  auto factory = host::query<host::Factory2D>(sketch);
  ASSERT_TRUE(edition && factory);
  edition->openEdition();
  factory->createLine({-5, 25}, {10, 10});
  factory->createLine({10, 10}, {10, 5});
  factory->createLine({10, 5}, {-5, 5});
  factory->createLine({-5, 5}, {-5, 25});
  edition->closeEdition();
  auto wedge = features->createPocket(sketch);
  auto prism = host::query<host::Pocket>(wedge);
  ASSERT_TRUE(prism);
  prism->setLimitLength(host::LimitEnd::First, 15);
  prism->setLimitLength(host::LimitEnd::Second, 15);
  ASSERT_TRUE(wedge->update().ok()) << wedge->update().diagnostic;
  // 24000 less the pocket's 20 x (15 x 10 - 10 x 10 / 2) = 2000.
  EXPECT_NEAR(bodyVolume(), 22000, 1e-6 * 24000);
  auto reference = std::dynamic_pointer_cast<TopologyReference>(topFront);
  ASSERT_TRUE(reference);
  const TopoDS_Shape found = reference->resolveIn(*std::dynamic_pointer_cast<SolidFeature>(wedge));
  ASSERT_FALSE(found.IsNull());
  Bnd_Box box;
  BRepBndLib::Add(found, box);
  double x0, y0, z0, x1, y1, z1;
  box.Get(x0, y0, z0, x1, y1, z1);
  EXPECT_NEAR(x0, 0, 1e-6);
  EXPECT_NEAR(x1, 20, 1e-6);
}

TEST_F(TopologyReferenceTest, RimOfAPatternedBoreFollowsTheBlockItGoesThrough) {
  auto blockFeature = block();
  ASSERT_TRUE(blockFeature);
  // A bore of radius 3 at (10, 15) through the block, and a copy 20 mm along x.
  auto bore = boreAfter(blockFeature, 40);
  ASSERT_TRUE(bore);
  part->setCurrentFeature(bore);
  auto wireframe = host::query<host::WireframeFactory>(container);
  auto x =
      wireframe->createLine(wireframe->createPoint({0, 0, 0}), wireframe->createPoint({1, 0, 0}));
  auto copies = host::query<host::PatternFactory>(container)->createRectPattern(
      bore, {x, nullptr, false, 2, 1, 20, 0, 1, 1});
  ASSERT_TRUE(copies && copies->update().ok()) << copies->update().diagnostic;
  // A round of radius 1 on the copy's top rim, a circle the pattern made.
  part->setCurrentFeature(copies);
  auto rim = edgeWhere(copies, [](const host::Box3& box) { return box.min.z > 19; });
  ASSERT_TRUE(rim);
  auto fillet = dressUps->createSolidFillet({rim}, 1, host::kPropagationNone);
  ASSERT_TRUE(fillet && fillet->update().ok()) << fillet->update().diagnostic;
  // The round's section is the unit square's corner outside a quarter disc, of area
  // 1 - pi/4, its centroid (5/6 - pi/4) / (1 - pi/4) = 0.22337 from the wall: turned
  // about the bore's axis at radius 3.22337 (Pappus) it takes 4.3464...
  const double ring = (1 - kPi / 4) * 2 * kPi * (3 + (5.0 / 6 - kPi / 4) / (1 - kPi / 4));
  EXPECT_NEAR(bodyVolume(), 24000 - 2 * kPi * 9 * 20 - ring, 1e-6 * 24000);
  // The block grows to 26 mm: the pattern is recomputed and the rim, 6 mm higher, is
  // rounded again: 31200 - 2 * 9 pi * 26 - 4.3464...
  host::query<host::Pad>(blockFeature)->setLimitLength(host::LimitEnd::First, 26);
  ASSERT_TRUE(partObject->update().ok()) << partObject->update().diagnostic;
  EXPECT_NEAR(bodyVolume(), 31200 - 2 * kPi * 9 * 26 - ring, 1e-6 * 31200);
  EXPECT_TRUE(bodyValid());
}

TEST_F(TopologyReferenceTest, FaceTrimmedAgainByARecomputedCutIsFoundAgain) {
  auto blockFeature = block();
  ASSERT_TRUE(blockFeature);
  // A bore of radius 3 through the block at (10, 15): the top becomes 1200 - 9 pi.
  auto bore = boreAfter(blockFeature, 40);
  ASSERT_TRUE(bore);
  auto top = std::dynamic_pointer_cast<TopologyReference>(
      face(blockFeature, [](const host::Box3& box) { return box.min.z > 19; }));
  ASSERT_TRUE(top);
  // The bore becomes 5 mm deep: the cut is made again and the top with it, holed alike.
  auto prism = host::query<host::Pocket>(bore);
  prism->setLimitLength(host::LimitEnd::First, 5);
  prism->setLimitLength(host::LimitEnd::Second, 5);
  ASSERT_TRUE(bore->update().ok()) << bore->update().diagnostic;
  // 24000 - 9 pi * 5 = 23858.62...
  EXPECT_NEAR(bodyVolume(), 24000 - kPi * 9 * 5, 1e-6 * 24000);
  TopoDS_Shape live = top->resolveIn(*std::dynamic_pointer_cast<SolidFeature>(bore));
  ASSERT_FALSE(live.IsNull());
  GProp_GProps props;
  BRepGProp::SurfaceProperties(live, props);
  EXPECT_NEAR(props.Mass(), 1200 - 9 * kPi, 1e-6 * 1200);
  EXPECT_NEAR(props.CentreOfMass().Z(), 20, 1e-9);
}

}  // namespace
}  // namespace occt_host::testing
