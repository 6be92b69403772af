// Profiles of contours mixing lines, arcs, ellipses and splines, and sketches on planes.
#include <gtest/gtest.h>

#include <BRepBndLib.hxx>
#include <Bnd_Box.hxx>

#include <cmath>

#include "host/wireframe.h"
#include "occt_host/model/part.h"
#include "occt_host/sketch/sketch_inspect.h"
#include "part_fixture.h"
#include "sketch/sketch_on_plane.h"

namespace occt_host::testing {
namespace {

constexpr double kPi = 3.14159265358979323846;

class SketchProfileTest : public PartFixture {
 protected:
  // Draws into a new sketch on the XY plane; `draw` gets the sketch's 2D factory.
  template <class Draw>
  host::SpecObjectPtr drawn(Draw draw) {
    auto sketch = sketches->createSketch({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    auto edition = host::query<host::Sketch>(sketch);
    edition->openEdition();
    draw(*host::query<host::Factory2D>(sketch));
    edition->closeEdition();
    return sketch;
  }

  // Volume of a pad of height 10 made from `sketch`, or -1 when it fails.
  double padVolume(const host::SpecObjectPtr& sketch) {
    auto feature = pad(sketch, 10, 0);
    if (!feature || !feature->update().ok()) return -1;
    return volume(solidOf(feature));
  }

  static Bnd_Box box(const TopoDS_Shape& shape) {
    Bnd_Box b;
    BRepBndLib::AddOptimal(shape, b, false, false);
    return b;
  }
};

TEST_F(SketchProfileTest, RectangleOfLinesWithCircularHole) {
  auto sketch = drawn([](host::Factory2D& f) {
    f.createLine({0, 0}, {100, 0});
    f.createLine({100, 0}, {100, 60});
    f.createLine({100, 60}, {0, 60});
    f.createLine({0, 60}, {0, 0});
    f.createCircle({50, 30}, 10);
  });
  // (100 * 60 - pi * 10^2) * 10 = 60000 - 1000 pi
  double expected = 60000 - 1000 * kPi;
  EXPECT_NEAR(padVolume(sketch), expected, expected * 1e-9);
}

TEST_F(SketchProfileTest, SlotOfTwoLinesAndTwoArcs) {
  auto sketch = drawn([](host::Factory2D& f) {
    f.createLine({0, -10}, {50, -10});
    f.createCircleArc({50, 0}, 10, -kPi / 2, kPi / 2);
    f.createLine({50, 10}, {0, 10});
    f.createCircleArc({0, 0}, 10, kPi / 2, 3 * kPi / 2);
  });
  // (50 * 20 + pi * 10^2) * 10 = 10000 + 1000 pi
  double expected = 10000 + 1000 * kPi;
  EXPECT_NEAR(padVolume(sketch), expected, expected * 1e-9);
}

TEST_F(SketchProfileTest, HalfEllipseClosedByALine) {
  auto sketch = drawn([](host::Factory2D& f) {
    // Major 20 along x, minor 8; the upper half from t = 0 to pi.
    f.createEllipseArc({0, 0}, {1, 0}, 20, 8, 0, kPi);
    f.createLine({-20, 0}, {20, 0});
  });
  // pi * 20 * 8 / 2 * 10 = 800 pi
  double expected = 800 * kPi;
  EXPECT_NEAR(padVolume(sketch), expected, expected * 1e-7);
}

TEST_F(SketchProfileTest, EllipseWithSplineBoundedIsland) {
  auto sketch = drawn([](host::Factory2D& f) {
    f.createEllipse({0, 0}, {0, 1}, 30, 50);
    std::vector<host::Geometry2DPtr> through;
    for (host::Point2 p : {host::Point2{-5, -5}, {5, -5}, {5, 5}, {-5, 5}})
      through.push_back(f.createPoint(p));
    f.createSpline(through, 1);
  });
  auto feature = pad(sketch, 10, 0);
  ASSERT_TRUE(feature->update().ok());
  // Outer ellipse pi * 50 * 30 = 1500 pi; the closed spline cuts a hole of roughly 100-157 mm^2.
  double v = volume(solidOf(feature));
  EXPECT_LT(v, 15000 * kPi - 1000);
  EXPECT_GT(v, 15000 * kPi - 1600);
  Bnd_Box b = box(solidOf(feature));
  double x0, y0, z0, x1, y1, z1;
  b.Get(x0, y0, z0, x1, y1, z1);
  EXPECT_NEAR(x1, 30, 1e-6);  // minor along x
  EXPECT_NEAR(y1, 50, 1e-6);  // major along y
}

TEST_F(SketchProfileTest, SketchOnAPlaneFeatureTakesItsAxes) {
  auto wireframe = host::query<host::WireframeFactory>(container);
  ASSERT_TRUE(wireframe);
  host::Plane wanted{{10, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  auto plane = wireframe->createPlane(wanted);
  ASSERT_TRUE(plane);
  auto partNode = std::dynamic_pointer_cast<Part>(partObject);
  auto sketch = createSketchOnPlane(*partNode, plane);
  ASSERT_TRUE(sketch);
  EXPECT_EQ(sketchSupport(sketch), plane);
  host::Plane placed = host::query<host::Sketch>(sketch)->plane();
  EXPECT_NEAR(placed.origin.x, 10, 1e-12);
  EXPECT_NEAR(placed.u.y, 1, 1e-12);
  EXPECT_NEAR(placed.v.z, 1, 1e-12);
  auto edition = host::query<host::Sketch>(sketch);
  edition->openEdition();
  host::query<host::Factory2D>(sketch)->createCircle({5, 7}, 2);
  edition->closeEdition();
  auto feature = pad(sketch, 3, 0);
  ASSERT_TRUE(feature->update().ok());
  double x0, y0, z0, x1, y1, z1;
  box(solidOf(feature)).Get(x0, y0, z0, x1, y1, z1);
  // The circle (5, 7) r 2 lies at y 3..7, z 5..9; the pad runs along +x from x = 10.
  EXPECT_NEAR(x0, 10, 1e-6);
  EXPECT_NEAR(x1, 13, 1e-6);
  EXPECT_NEAR(y0, 3, 1e-6);
  EXPECT_NEAR(z1, 9, 1e-6);
}

TEST_F(SketchProfileTest, SketchOnTheYzReferencePlane) {
  auto planes = part->referencePlanes();
  ASSERT_EQ(planes.size(), 3u);
  auto partNode = std::dynamic_pointer_cast<Part>(partObject);
  auto sketch = createSketchOnPlane(*partNode, planes[1]);
  ASSERT_TRUE(sketch);
  host::Plane placed = host::query<host::Sketch>(sketch)->plane();
  EXPECT_NEAR(placed.u.y, 1, 1e-12);
  EXPECT_NEAR(placed.v.z, 1, 1e-12);
  EXPECT_FALSE(createSketchOnPlane(*partNode, part->mainBody()));
  EXPECT_FALSE(createSketchOnPlane(*partNode, nullptr));
}

}  // namespace
}  // namespace occt_host::testing
