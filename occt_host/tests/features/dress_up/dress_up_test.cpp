#include <gtest/gtest.h>

#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>

#include <cmath>
#include <functional>

#include "features/dress_up/dress_up_fixture.h"
#include "host/dress_up.h"
#include "host/topology.h"

namespace occt_host::testing {
namespace {

class DressUpTest : public DressUpFixture {
 protected:
  // The references of `feature`'s faces whose plane normal and box pass `keep`.
  host::SpecObjectList faces(
      const host::SpecObjectPtr& feature,
      const std::function<bool(const host::Vec3&, const host::Box3&)>& keep) {
    host::SpecObjectList out;
    for (const auto& cell : host::query<host::FeatureGeometry>(feature)->boundaryCells()) {
      auto face = host::query<host::FaceCell>(cell)->faces().at(0);
      host::Point3 origin;
      host::Vec3 normal;
      if (face->surface()->plane(origin, normal) && keep(normal, face->box()))
        out.push_back(host::query<host::Featurize>(cell)->featurize());
    }
    return out;
  }
};

TEST_F(DressUpTest, FilletOfAStraightEdgeRemovesTheCornerOutsideTheRound) {
  auto plateFeature = plate();
  auto top = edge(plateFeature, {0, 0, 10}, {100, 0, 10});
  ASSERT_TRUE(top);
  auto fillet = dressUps->createSolidFillet({top}, 2, host::kPropagationNone);
  ASSERT_TRUE(fillet);
  EXPECT_EQ(fillet->typeName(), "EdgeFillet");
  ASSERT_TRUE(fillet->update().ok()) << fillet->update().diagnostic;
  // (1 - pi/4) r^2 L = 0.214602 * 4 * 100 = 85.8407...
  double expected = 100000.0 - (1 - kPi / 4) * 4 * 100;
  EXPECT_NEAR(bodyVolume(), expected, 1e-6 * expected);
  EXPECT_TRUE(bodyValid());
  // The fillet made exactly one face, the quarter cylinder: pi/2 * r * L = 314.159...
  auto own = faces(fillet, [](const host::Vec3&, const host::Box3&) { return true; });
  EXPECT_TRUE(own.empty());  // not a plane
  EXPECT_EQ(host::query<host::FeatureGeometry>(fillet)->boundaryCells().size(), 1u);
}

TEST_F(DressUpTest, FilletTooLargeForItsFacesFailsWithTheKernelsText) {
  auto plateFeature = plate();
  auto top = edge(plateFeature, {0, 0, 10}, {100, 0, 10});
  auto fillet = dressUps->createSolidFillet({top}, 30, host::kPropagationNone);
  ASSERT_TRUE(fillet);
  host::UpdateResult result = fillet->update();
  EXPECT_TRUE(host::failed(result.status));
  EXPECT_NE(result.diagnostic.find(fillet->name()), std::string::npos) << result.diagnostic;
  // The body keeps the plate.
  EXPECT_NEAR(bodyVolume(), 100000.0, 1e-3);
  EXPECT_FALSE(dressUps->createSolidFillet({}, 2, 0));
  EXPECT_FALSE(dressUps->createSolidFillet({top}, 0, 0));
  EXPECT_FALSE(dressUps->createSolidFillet({plateFeature}, 2, 0));
}

TEST_F(DressUpTest, ChamfersByLengthsAndByLengthAndAngle) {
  auto plateFeature = plate();
  auto front = edge(plateFeature, {0, 0, 10}, {100, 0, 10});
  auto back = edge(plateFeature, {0, 100, 10}, {100, 100, 10});
  // Equidistant 2 on the front edge: d^2 L / 2 = 4 * 100 / 2 = 200.
  auto equal = dressUps->createChamfer({front}, 0, host::ChamferMode::TwoLengths, 2, 2, 0);
  ASSERT_TRUE(equal && equal->update().ok());
  EXPECT_NEAR(bodyVolume(), 100000.0 - 200.0, 1e-6);
  // 2 and 30 degrees on the back edge: the other leg is 2 tan 30 = 1.1547; 2 * 1.1547 / 2 * 100.
  auto angled = dressUps->createChamfer({back}, 0, host::ChamferMode::LengthAngle, 2, 30, 1);
  ASSERT_TRUE(angled && angled->update().ok()) << angled->update().diagnostic;
  double leg = 2 * std::tan(kPi / 6);
  EXPECT_NEAR(bodyVolume(), 100000.0 - 200.0 - leg * 100.0, 1e-6);
  auto lengths = host::query<host::Chamfer>(angled);
  ASSERT_TRUE(lengths);
  EXPECT_DOUBLE_EQ(lengths->length1(), 2);
  EXPECT_NEAR(lengths->length2(), leg, 1e-12);
  EXPECT_TRUE(bodyValid());
  EXPECT_FALSE(dressUps->createChamfer({front}, 0, host::ChamferMode::LengthAngle, 2, 90, 0));
  EXPECT_FALSE(dressUps->createChamfer({front}, 0, host::ChamferMode::TwoLengths, 2, 2, 2));
}

TEST_F(DressUpTest, ContraryChamferSwapsTheFacesItsLengthsLieOn) {
  double tops[2];
  for (int orientation : {0, 1}) {
    SetUp();
    auto plateFeature = plate();
    auto front = edge(plateFeature, {0, 0, 10}, {100, 0, 10});
    auto chamfer =
        dressUps->createChamfer({front}, 0, host::ChamferMode::TwoLengths, 1, 3, orientation);
    ASSERT_TRUE(chamfer && chamfer->update().ok());
    // 1 * 3 / 2 * 100 = 150 either way.
    EXPECT_NEAR(bodyVolume(), 100000.0 - 150.0, 1e-6);
    // The top face keeps 100 x (100 - 1) or 100 x (100 - 3).
    double area = 0;
    auto top = faces(plateFeature, [](const host::Vec3& n, const host::Box3& b) {
      return std::abs(n.z) > 0.5 && b.min.z > 9;
    });
    for (const auto& cell : host::query<host::FeatureGeometry>(plateFeature)->boundaryCells()) {
      auto face = host::query<host::FaceCell>(cell)->faces().at(0);
      host::Point3 o;
      host::Vec3 n;
      if (face->surface()->plane(o, n) && std::abs(n.z) > 0.5 && face->box().min.z > 9) {
        host::ParamBox box = face->parameterBox();
        area = (box.uMax - box.uMin) * (box.vMax - box.vMin);
      }
    }
    ASSERT_EQ(top.size(), 1u);
    tops[orientation] = area;
  }
  EXPECT_NEAR(std::min(tops[0], tops[1]), 9700.0, 1e-6);
  EXPECT_NEAR(std::max(tops[0], tops[1]), 9900.0, 1e-6);
}

TEST_F(DressUpTest, ShellOpenAtTheTopKeepsTheOuterSize) {
  auto blockFeature = block();
  auto top = faces(blockFeature, [](const host::Vec3& n, const host::Box3& b) {
    return std::abs(n.z) > 0.5 && b.min.z > 19;
  });
  ASSERT_EQ(top.size(), 1u);
  auto shell = dressUps->createShell(top, 2, 0);
  ASSERT_TRUE(shell && shell->update().ok()) << shell->update().diagnostic;
  // 40 * 30 * 20 less the cavity (40 - 4) * (30 - 4) * (20 - 2) = 24000 - 16848 = 7152.
  EXPECT_NEAR(bodyVolume(), 7152.0, 1e-6 * 7152.0);
  EXPECT_TRUE(bodyValid());
  GProp_GProps props;
  BRepGProp::SurfaceProperties(solidOf(part->mainBody()), props);
  // Outside 2*(40*30) + 2*(40*20) + 2*(30*20) - top 1200 = 4000; inside 36*26 + 2*36*18 + 2*26*18
  // = 936 + 1296 + 936 = 3168; rim 40*30 - 36*26 = 264. Total 7432.
  EXPECT_NEAR(props.Mass(), 7432.0, 1e-6 * 7432.0);
}

TEST_F(DressUpTest, ShellWithNoOpenFaceIsAClosedHollow) {
  block();
  auto shell = dressUps->createShell({}, 2, 0);
  ASSERT_TRUE(shell && shell->update().ok()) << shell->update().diagnostic;
  // 24000 - 36 * 26 * 16 = 24000 - 14976 = 9024.
  EXPECT_NEAR(bodyVolume(), 9024.0, 1e-6 * 9024.0);
  EXPECT_TRUE(bodyValid());
  EXPECT_FALSE(dressUps->createShell({}, 0, 0));
}

TEST_F(DressUpTest, DraftOfFourSidesMakesAFrustum) {
  auto blockFeature = block();
  auto bottom = faces(blockFeature, [](const host::Vec3& n, const host::Box3& b) {
    return std::abs(n.z) > 0.5 && b.max.z < 1;
  });
  auto sides = faces(blockFeature,
                     [](const host::Vec3& n, const host::Box3&) { return std::abs(n.z) < 0.5; });
  ASSERT_EQ(bottom.size(), 1u);
  ASSERT_EQ(sides.size(), 4u);
  auto draft = dressUps->createDraft(sides, bottom[0], {0, 0, 1}, 5);
  ASSERT_TRUE(draft && draft->update().ok()) << draft->update().diagnostic;
  // Each side leans in by t = tan 5 deg per mm of height; the section at z is
  // (40 - 2tz)(30 - 2tz), so V = 1200 h - 70 t h^2 + 4/3 t^2 h^3 with h = 20.
  double t = std::tan(5 * kPi / 180), h = 20;
  double expected = 1200 * h - 70 * t * h * h + 4.0 / 3.0 * t * t * h * h * h;
  EXPECT_NEAR(bodyVolume(), expected, 1e-6 * expected);
  // The top is inset by h tan 5 deg on every side.
  auto topFaces = faces(blockFeature, [](const host::Vec3& n, const host::Box3& b) {
    return std::abs(n.z) > 0.5 && b.min.z > 19;
  });
  EXPECT_EQ(topFaces.size(), 1u);
  EXPECT_TRUE(bodyValid());
}

}  // namespace
}  // namespace occt_host::testing

namespace occt_host::testing {
namespace {

using BatchedDressUpTest = DressUpFixture;

// The last feature of the main body, where the next feature should go.
host::SpecObjectPtr lastOfMainBody(host::Part& part) {
  auto children = host::query<host::Descendants>(part.mainBody())->children();
  return children.empty() ? nullptr : children.back();
}

TEST_F(BatchedDressUpTest, FilletOnTheRimOfTheLastOf400BatchedBores) {
  auto plateFeature = plate();
  ASSERT_TRUE(plateFeature);
  // 400 bores of radius 1 on a 20 x 20 grid 4.5 mm apart from (7, 7), each a remove.
  host::SpecObjectPtr last;
  for (int j = 0; j < 20; ++j) {
    for (int i = 0; i < 20; ++i) {
      part->setCurrentFeature(plateFeature);
      last = booleans->createRemove(plateFeature, bore(7 + 4.5 * i, 7 + 4.5 * j, 1));
      ASSERT_TRUE(last && last->update().ok());
    }
  }
  // The rim of the last bore, centre (92.5, 92.5), on the top face.
  host::SpecObjectPtr rim;
  for (const auto& cell : host::query<host::FeatureGeometry>(last)->boundaryCells()) {
    for (const auto& edgeCell : host::query<host::FaceCell>(cell)->edgeCells()) {
      host::Box3 box = host::query<host::EdgeCell>(edgeCell)->edges().at(0)->box();
      if (box.min.z > 9.999 && box.max.z < 10.001)
        rim = host::query<host::Featurize>(edgeCell)->featurize();
    }
  }
  ASSERT_TRUE(rim);
  part->setCurrentFeature(lastOfMainBody(*part));
  auto fillet = dressUps->createSolidFillet({rim}, 0.3, host::kPropagationNone);
  ASSERT_TRUE(fillet);
  host::UpdateResult result = fillet->update();
  ASSERT_TRUE(result.ok()) << result.diagnostic;
  // The round takes the spandrel (1 - pi/4) r^2 swept about the axis at R + 0.22338 r (its
  // centroid, r (10 - 3 pi) / (12 - 3 pi) from the edge): 2 pi * 1.06701 * 0.0193142 =
  // 0.129487. The bores take 400 * pi * 1^2 * 10.
  const double expected = 100000.0 - 4000.0 * kPi - 0.129487;
  EXPECT_NEAR(bodyVolume(), expected, 0.002);
  EXPECT_TRUE(bodyValid());
  EXPECT_EQ(host::query<host::FeatureGeometry>(fillet)->boundaryCells().size(), 1u);
  // The last bore keeps its wall below the round; the other bores keep theirs.
  EXPECT_EQ(host::query<host::FeatureGeometry>(last)->boundaryCells().size(), 1u);
}

TEST_F(BatchedDressUpTest, ChamferOnAnEdgeALaterPocketTrims) {
  auto plateFeature = plate();
  auto front = edge(plateFeature, {0, 0, 10}, {100, 0, 10});
  ASSERT_TRUE(front);
  auto chamfer = dressUps->createChamfer({front}, 0, host::ChamferMode::TwoLengths, 2, 2, 0);
  ASSERT_TRUE(chamfer && chamfer->update().ok());
  part->setCurrentFeature(chamfer);
  // A slot 20 wide across the front edge, 5 deep: [40, 60] x [-1, 20] x [5, 10].
  auto pocket = features->createPocket(rectangle(40, -1, 60, 20, 10));
  auto prism = host::query<host::Pocket>(pocket);
  ASSERT_TRUE(prism);
  prism->setLimitType(host::LimitEnd::First, host::kLimitLength);
  prism->setLimitLength(host::LimitEnd::First, 5);
  prism->setLimitType(host::LimitEnd::Second, host::kLimitLength);
  prism->setLimitLength(host::LimitEnd::Second, 0);
  prism->setDirection({0, 0, -1});
  part->setCurrentFeature(pocket);
  host::UpdateResult result = pocket->update();
  ASSERT_TRUE(result.ok()) << result.diagnostic;
  // The chamfer takes 2 * 2 / 2 * 100 = 200; the slot 20 * 20 * 5 = 2000 less the 2 * 20 = 40
  // the chamfer took there already.
  EXPECT_NEAR(bodyVolume(), 100000.0 - 200.0 - 1960.0, 1e-6);
  EXPECT_TRUE(bodyValid());
  // The chamfer's face is cut in two, 2 sqrt 2 wide, 40 long each; both still its own.
  auto own = host::query<host::FeatureGeometry>(chamfer)->boundaryCells();
  ASSERT_EQ(own.size(), 2u);
  for (const auto& cell : own) {
    host::Box3 box = host::query<host::FaceCell>(cell)->faces().at(0)->box();
    EXPECT_NEAR(box.max.x - box.min.x, 40.0, 1e-6);
    EXPECT_NEAR(box.max.z - box.min.z, 2.0, 1e-6);
  }
}

}  // namespace
}  // namespace occt_host::testing
