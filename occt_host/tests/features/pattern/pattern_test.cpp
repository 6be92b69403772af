// Pattern and mirror features built through the host's factory: which arguments it
// refuses, and how a mirrored cut meets the solid. Volumes are worked out by hand.
#include <BRepCheck_Analyzer.hxx>

#include <cmath>

#include "features/boolean/boolean_ops.h"
#include "host/pattern.h"
#include "host/topology.h"
#include "host/wireframe.h"
#include "part_fixture.h"

namespace occt_host::testing {
namespace {

class PatternTest : public PartFixture {
 protected:
  void SetUp() override {
    PartFixture::SetUp();
    patterns = host::query<host::PatternFactory>(container);
    wireframe = host::query<host::WireframeFactory>(container);
    ASSERT_TRUE(patterns && wireframe);
  }
  host::SpecObjectPtr line(host::Point3 from, host::Point3 to) {
    return wireframe->createLine(wireframe->createPoint(from), wireframe->createPoint(to));
  }

  std::shared_ptr<host::PatternFactory> patterns;
  std::shared_ptr<host::WireframeFactory> wireframe;
};

TEST_F(PatternTest, FactoryRefusesWhatDescribesNoPattern) {
  auto boss = pad(sketchWithCircles({{0, 0, 5}}), 10, 0);
  ASSERT_TRUE(boss && boss->update().ok());
  const auto x = line({0, 0, 0}, {1, 0, 0});
  auto rect = [&](host::RectPatternParams p) { return patterns->createRectPattern(boss, p); };
  host::RectPatternParams ok{x, nullptr, false, 3, 1, 20, 0, 1, 1};
  EXPECT_TRUE(rect(ok));
  auto refused = [&](auto change) {
    host::RectPatternParams p = ok;
    change(p);
    return !rect(p);
  };
  EXPECT_TRUE(refused([](auto& p) { p.count1 = 0; }));
  EXPECT_TRUE(refused([](auto& p) { p.count1 = host::kMaxPatternInstances + 1; }));
  EXPECT_TRUE(refused([&](auto& p) {
    p.secondDirection = true, p.direction2 = x, p.count1 = 101, p.count2 = 100;
  }));
  EXPECT_TRUE(refused([](auto& p) { p.position1 = 4; }));
  EXPECT_TRUE(refused([](auto& p) { p.distance1 = NAN; }));
  EXPECT_TRUE(refused([](auto& p) { p.distance1 = -600000; }));  // 1.2 km from the source
  EXPECT_TRUE(refused([&](auto& p) { p.direction1 = boss; }));
  EXPECT_TRUE(refused([&](auto& p) { p.direction1 = line({1, 1, 1}, {1, 1, 1}); }));
  EXPECT_FALSE(patterns->createRectPattern(nullptr, ok));
  EXPECT_FALSE(patterns->createCircPattern(boss, {x, 0, 90, false, false}));
  EXPECT_FALSE(patterns->createCircPattern(boss, {nullptr, 4, 90, false, false}));
  EXPECT_FALSE(patterns->createMirror(boss));  // a pad has no plane
}

TEST_F(PatternTest, MirroredPocketCutsAndNamesItsWall) {
  // A disc of radius 20, 10 thick, with a bore of radius 2 at (10, 0) pocketed through it;
  // mirrored in the YZ plane, the bore repeats at (-10, 0): pi x 10 x (400 - 2 x 4).
  auto disc = pad(sketchWithCircles({{0, 0, 20}}), 10, 0);
  auto bore = features->createPocket(sketchWithCircles({{10, 0, 2}}, {0, 0, -1}));
  auto prism = host::query<host::Pocket>(bore);
  ASSERT_TRUE(disc && prism);
  prism->setLimitType(host::LimitEnd::First, host::kLimitLength);
  prism->setLimitLength(host::LimitEnd::First, 12);
  ASSERT_TRUE(bore->update().ok());
  part->setCurrentFeature(bore);
  auto mirror = patterns->createMirror(part->referencePlanes().at(1));
  auto objects = host::query<host::Mirror>(mirror);
  ASSERT_TRUE(objects);
  EXPECT_EQ(objects->addMirrorObject(bore), host::kOk);
  EXPECT_NE(objects->addMirrorObject(nullptr), host::kOk);
  ASSERT_TRUE(mirror->update().ok()) << mirror->update().diagnostic;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), M_PI * 10 * 392, 1e-6);
  // The mirror made the new bore's wall, one cylindrical face.
  EXPECT_EQ(host::query<host::FeatureGeometry>(mirror)->boundaryCells().size(), 1u);
}

TEST_F(PatternTest, PatternOfABodyCopiesItsWholeSolid) {
  // A post of radius 5, 10 high, and two copies of the whole body 20 apart along +y:
  // 3 x pi x 25 x 10 in three separate solids.
  auto post = pad(sketchWithCircles({{0, 0, 5}}), 10, 0);
  ASSERT_TRUE(post && post->update().ok());
  auto body = part->mainBody();
  part->setCurrentFeature(body);
  auto pattern = patterns->createRectPattern(
      body, {line({0, 0, 0}, {0, 3, 0}), nullptr, false, 3, 1, 20, 0, 1, 1});
  ASSERT_TRUE(pattern && pattern->update().ok());
  EXPECT_TRUE(host::query<host::RectPattern>(pattern));
  EXPECT_NEAR(volume(solidOf(body)), 3 * M_PI * 25 * 10, 1e-6);
}

// The union of a pattern's copies, come out wrong without a warning, is not checked when
// it is made; the body's solid is, the faces kept of the copies through their source. The
// fault is found, the body computed again with every result checked, and it comes out right.
TEST_F(PatternTest, AWrongUnionOfCopiesNeverReachesTheBodysSolid) {
  // A disc of radius 50, 5 thick, and a boss of radius 2, 5 high, at x = 0, 20, 40 and 60:
  // pi x (2500 x 5 + 4 x 4 x 5).
  auto disc = pad(sketchWithCircles({{40, 0, 50}}), 5, 0);
  auto boss = pad(sketchWithCircles({{0, 0, 2}}, {0, 0, 5}), 5, 0);
  ASSERT_TRUE(disc && boss && boss->update().ok());
  solidOf(part->mainBody());
  auto pattern = patterns->createRectPattern(
      boss, {line({0, 0, 0}, {1, 0, 0}), nullptr, false, 4, 1, 20, 0, 1, 1});
  ASSERT_TRUE(pattern);
  ::occt_host::booleans::testing::breakNextResult();
  const TopoDS_Shape solid = solidOf(part->mainBody());
  EXPECT_TRUE(BRepCheck_Analyzer(solid).IsValid());
  EXPECT_NEAR(volume(solid), M_PI * 12580, 1e-6 * M_PI * 12580);
  EXPECT_TRUE(pattern->update().ok());
}

}  // namespace
}  // namespace occt_host::testing
