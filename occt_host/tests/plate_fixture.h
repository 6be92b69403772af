// A Part with helpers for plates, bores in bodies of their own, and boolean features.
#pragma once

#include <STEPControl_Reader.hxx>
#include <TopExp_Explorer.hxx>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "host/topology.h"
#include "host/wireframe.h"
#include "occt_host/exchange/step_export.h"
#include "part_fixture.h"

namespace occt_host::testing {

constexpr double kPi = 3.14159265358979323846;

class PlateFixture : public PartFixture {
 protected:
  void SetUp() override {
    PartFixture::SetUp();
    booleans = host::query<host::BooleanFactory>(container);
    bodies = host::query<host::BodyFactory>(container);
    ASSERT_TRUE(booleans && bodies);
  }

  void TearDown() override { std::filesystem::remove(stepPath); }

  // A sketch on the plane z = `z` holding the rectangle [x0, x1] x [y0, y1].
  host::SpecObjectPtr rectangle(double x0, double y0, double x1, double y1, double z = 0) {
    auto sketch = sketches->createSketch({0, 0, z}, {1, 0, 0}, {0, 1, 0});
    auto edition = host::query<host::Sketch>(sketch);
    auto factory = host::query<host::Factory2D>(sketch);
    if (!edition || !factory) return nullptr;
    edition->openEdition();
    factory->createLine({x0, y0}, {x1, y0});
    factory->createLine({x1, y0}, {x1, y1});
    factory->createLine({x1, y1}, {x0, y1});
    factory->createLine({x0, y1}, {x0, y0});
    edition->closeEdition();
    return sketch;
  }

  // The reference of the edge of `feature`'s faces running from `a` to `b` (either way).
  host::SpecObjectPtr edge(const host::SpecObjectPtr& feature, host::Point3 a, host::Point3 b) {
    auto same = [](const host::Point3& p, const host::Point3& q) {
      return host::norm(p - q) < 1e-6;
    };
    for (const auto& cell : host::query<host::FeatureGeometry>(feature)->boundaryCells()) {
      for (const auto& edgeCell : host::query<host::FaceCell>(cell)->edgeCells()) {
        host::Point3 s, e;
        auto found = host::query<host::EdgeCell>(edgeCell)->edges().at(0);
        if (found->vertices(s, e) && ((same(s, a) && same(e, b)) || (same(s, b) && same(e, a))))
          return host::query<host::Featurize>(edgeCell)->featurize();
      }
    }
    return nullptr;
  }

  // The 100 x 100 x 10 plate padded up from z = 0 in the main body, updated.
  host::SpecObjectPtr plate() {
    auto feature = pad(rectangle(0, 0, 100, 100), 10, 0);
    return feature && feature->update().ok() ? feature : nullptr;
  }

  // A new body made current, so that the next features go into it.
  host::SpecObjectPtr newBody() {
    auto body = bodies->createBody("");
    if (body) part->setCurrentTool(body);
    return body;
  }

  // A cylinder of radius r at (x, y) from z = -5 to z = 15 in a body of its own.
  host::SpecObjectPtr bore(double x, double y, double r) {
    if (!newBody()) return nullptr;
    auto feature = pad(sketchWithCircles({{x, y, r}}), 15, 5);
    return feature && feature->update().ok() ? feature : nullptr;
  }

  static std::size_t indexIn(const host::SpecObjectPtr& container,
                             const host::SpecObjectPtr& child) {
    auto list = host::query<host::Descendants>(container)->children();
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (host::sameObject(list[i], child)) return i;
    }
    return list.size();
  }

  // Exports the document and reads it back with the kernel's plain STEP reader; the
  // volume of each solid found.
  std::vector<double> exportedSolidVolumes() {
    std::string error;
    EXPECT_TRUE(exportStep(document, stepPath, &error)) << error;
    STEPControl_Reader reader;
    EXPECT_EQ(reader.ReadFile(stepPath.c_str()), IFSelect_RetDone);
    reader.TransferRoots();
    std::vector<double> volumes;
    for (TopExp_Explorer e(reader.OneShape(), TopAbs_SOLID); e.More(); e.Next())
      volumes.push_back(volume(e.Current()));
    return volumes;
  }

  std::shared_ptr<host::BooleanFactory> booleans;
  std::shared_ptr<host::BodyFactory> bodies;
  std::string stepPath = (std::filesystem::temp_directory_path() /
                          ("occt_host_bool_" + std::to_string(::getpid()) + ".step"))
                             .string();
};

}  // namespace occt_host::testing
