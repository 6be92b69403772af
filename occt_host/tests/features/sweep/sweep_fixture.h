// A Part with helpers for shafts, lofts and ribs: sketches of lines, circles and arcs on
// any plane, axis lines, and measurements of the result.
#pragma once

#include <BRepBndLib.hxx>
#include <Bnd_Box.hxx>

#include <array>
#include <string>
#include <vector>

#include "host/sweep_features.h"
#include "host/wireframe.h"
#include "part_fixture.h"

namespace occt_host::testing {

constexpr double kPi = 3.14159265358979323846;

struct Box {
  double x0 = 0, y0 = 0, z0 = 0, x1 = 0, y1 = 0, z1 = 0;
};

class SweepFixture : public PartFixture {
 protected:
  void SetUp() override {
    PartFixture::SetUp();
    sweeps = host::query<host::SweepFactory>(container);
    wireframe = host::query<host::WireframeFactory>(container);
    ASSERT_TRUE(sweeps && wireframe);
  }

  struct Plane {
    host::Point3 origin{0, 0, 0};
    host::Vec3 h{1, 0, 0}, v{0, 1, 0};
  };
  // What a sketch holds: lines {x1, y1, x2, y2}, circles {x, y, r} and arcs
  // {cx, cy, r, start, end} (radians, counter-clockwise).
  struct Content {
    std::vector<std::array<double, 4>> lines;
    std::vector<std::array<double, 3>> circles;
    std::vector<std::array<double, 5>> arcs;
  };

  host::SpecObjectPtr sketch(const Plane& plane, const Content& content) {
    auto made = sketches->createSketch(plane.origin, plane.h, plane.v);
    auto edition = host::query<host::Sketch>(made);
    auto factory = host::query<host::Factory2D>(made);
    if (!edition || !factory) return nullptr;
    edition->openEdition();
    for (const auto& l : content.lines) {
      if (!factory->createLine({l[0], l[1]}, {l[2], l[3]})) return nullptr;
    }
    for (const auto& c : content.circles) {
      if (!factory->createCircle({c[0], c[1]}, c[2])) return nullptr;
    }
    for (const auto& a : content.arcs) {
      if (!factory->createCircleArc({a[0], a[1]}, a[2], a[3], a[4])) return nullptr;
    }
    edition->closeEdition();
    return made;
  }

  // The rectangle [x0, x1] x [y0, y1] as four lines, counter-clockwise from (x0, y0).
  static Content rectangle(double x0, double y0, double x1, double y1) {
    return {{{x0, y0, x1, y0}, {x1, y0, x1, y1}, {x1, y1, x0, y1}, {x0, y1, x0, y0}}, {}, {}};
  }

  host::SpecObjectPtr axisLine(const host::Point3& origin, const host::Vec3& direction) {
    return wireframe->createLine(wireframe->createPoint(origin),
                                 wireframe->createPoint(origin + direction * 1000.0));
  }

  static Box boxOf(const TopoDS_Shape& shape) {
    Bnd_Box box;
    BRepBndLib::AddOptimal(shape, box, /*useTriangulation=*/false, /*useShapeTolerance=*/false);
    Box out;
    box.Get(out.x0, out.y0, out.z0, out.x1, out.y1, out.z1);
    return out;
  }

  std::shared_ptr<host::SweepFactory> sweeps;
  std::shared_ptr<host::WireframeFactory> wireframe;
};

}  // namespace occt_host::testing
