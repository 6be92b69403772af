// A session with one Part document and the handles every modelling test needs.
#pragma once

#include <gtest/gtest.h>

#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
#include <TopoDS_Shape.hxx>

#include <memory>

#include "host/document.h"
#include "host/part.h"
#include "host/part_factory.h"
#include "host/sketch.h"
#include "occt_host/kernel/inspect.h"
#include "occt_host/session/session.h"

namespace occt_host::testing {

class PartFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    document = session.newDocument("Part");
    auto roots = host::query<host::DocumentRoots>(document);
    ASSERT_TRUE(roots);
    container = roots->rootContainer(host::kPartContainerType);
    ASSERT_TRUE(container);
    auto partContainer = host::query<host::PartContainer>(container);
    ASSERT_TRUE(partContainer);
    partObject = partContainer->part();
    part = host::query<host::Part>(partObject);
    sketches = host::query<host::SketchFactory>(container);
    features = host::query<host::PartFactory>(container);
    ASSERT_TRUE(part && sketches && features);
  }

  // A closed sketch holding circles {x, y, r} on the plane through `origin` spanned by h, v.
  host::SpecObjectPtr sketchWithCircles(std::initializer_list<std::array<double, 3>> circles,
                                        host::Point3 origin = {0, 0, 0}, host::Vec3 h = {1, 0, 0},
                                        host::Vec3 v = {0, 1, 0}) {
    auto sketch = sketches->createSketch(origin, h, v);
    auto edition = host::query<host::Sketch>(sketch);
    auto factory = host::query<host::Factory2D>(sketch);
    if (!edition || !factory) return nullptr;
    edition->openEdition();
    for (const auto& c : circles) {
      if (!factory->createCircle({c[0], c[1]}, c[2])) return nullptr;
    }
    edition->closeEdition();
    return sketch;
  }

  // A pad of `sketch` with two length limits, made current.
  host::SpecObjectPtr pad(const host::SpecObjectPtr& sketch, double first, double second) {
    return prism(features->createPad(sketch), first, second);
  }

  // A pocket of `sketch` with two length limits, made current.
  host::SpecObjectPtr pocket(const host::SpecObjectPtr& sketch, double first, double second) {
    return prism(features->createPocket(sketch), first, second);
  }

  host::SpecObjectPtr prism(const host::SpecObjectPtr& feature, double first, double second) {
    auto prism = host::query<host::Prism>(feature);
    if (!prism) return nullptr;
    prism->setLimitType(host::LimitEnd::First, host::kLimitLength);
    prism->setLimitLength(host::LimitEnd::First, first);
    prism->setLimitType(host::LimitEnd::Second, host::kLimitLength);
    prism->setLimitLength(host::LimitEnd::Second, second);
    part->setCurrentFeature(feature);
    return feature;
  }

  static double volume(const TopoDS_Shape& shape) {
    GProp_GProps props;
    BRepGProp::VolumeProperties(shape, props);
    return props.Mass();
  }

  Session session;
  std::shared_ptr<host::Document> document;
  std::shared_ptr<host::Unknown> container;
  host::SpecObjectPtr partObject;
  std::shared_ptr<host::Part> part;
  std::shared_ptr<host::SketchFactory> sketches;
  std::shared_ptr<host::PartFactory> features;
};

}  // namespace occt_host::testing
