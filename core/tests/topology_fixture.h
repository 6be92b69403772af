// A Part with writers registered under ids, as the pipeline leaves them, for the tests
// of topology references and the dress-up handlers.
#pragma once

#include <memory>
#include <string>

#include <rapidjson/document.h>
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>

#include "entry_fixture.h"
#include "features/writer/feature_writer.h"
#include "features/writer/update_service.h"
#include "host/part.h"
#include "host/sketch.h"
#include "host/topology.h"
#include "occt_host/kernel/inspect.h"

class TopologyTest : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    auto roots = document->query<host::DocumentRoots>();
    state.container = host::query<host::PartContainer>(roots->rootContainer("CATIPrtContainer"));
    state.partObject = state.container->part();
    state.part = host::query<host::Part>(state.partObject);
    state.booleanFactory = state.container->query<host::BooleanFactory>();
    state.wireframeFactory = state.container->query<host::WireframeFactory>();
    state.brepFactory = state.container->query<host::BRepFactory>();
    state.verbosity = 3;
  }

  // A sketch at height z holding the rectangle [x0, x1] x [y0, y1].
  host::SpecObjectPtr rectangle(double x0, double y0, double x1, double y1, double z = 0) {
    auto sketch = state.container->query<host::SketchFactory>()->createSketch({0, 0, z}, {1, 0, 0},
                                                                              {0, 1, 0});
    auto edit = host::query<host::Sketch>(sketch);
    auto lines = host::query<host::Factory2D>(sketch);
    edit->openEdition();
    lines->createLine({x0, y0}, {x1, y0});
    lines->createLine({x1, y0}, {x1, y1});
    lines->createLine({x1, y1}, {x0, y1});
    lines->createLine({x0, y1}, {x0, y0});
    edit->closeEdition();
    return sketch;
  }

  host::SpecObjectPtr circle(double x, double y, double r, double z = 0) {
    auto sketch = state.container->query<host::SketchFactory>()->createSketch({0, 0, z}, {1, 0, 0},
                                                                              {0, 1, 0});
    auto edit = host::query<host::Sketch>(sketch);
    edit->openEdition();
    host::query<host::Factory2D>(sketch)->createCircle({x, y}, r);
    edit->closeEdition();
    return sketch;
  }

  // A pad or pocket of `sketch` from the sketch plane along +z by `length`, updated and
  // made current.
  host::SpecObjectPtr prism(const host::SpecObjectPtr& sketch, double length, bool pocket,
                            double second = 0) {
    auto factory = state.container->query<host::PartFactory>();
    auto feature = pocket ? factory->createPocket(sketch) : factory->createPad(sketch);
    auto parameters = host::query<host::Prism>(feature);
    parameters->setLimitLength(host::LimitEnd::First, length);
    parameters->setLimitLength(host::LimitEnd::Second, second);
    EXPECT_TRUE(kestrun::updateFeature(feature).ok());
    state.part->setCurrentFeature(feature);
    return feature;
  }

  // Registers a feature writer for `feature` under `id`, as the pipeline would.
  kestrun::FeatureWriter& registerFeature(const std::string& id, const host::SpecObjectPtr& feature,
                                          const std::string& type = "extrude") {
    auto writer = std::make_unique<kestrun::FeatureWriter>(&registry);
    writer->setSharedState(state);
    rapidjson::Document item;
    item.Parse(
        ("{\"id\":\"" + id + "\",\"name\":\"" + id + "\",\"type\":\"" + type + "\"}").c_str());
    writer->initFromJson(item);
    writer->setSpecObj(feature);
    auto& ref = *writer;
    registry[id] = std::move(writer);
    return ref;
  }

  // The writer of a new item whose handler looks descriptors up.
  kestrun::FeatureWriter& user(const std::string& type = "fillet") {
    return registerFeature("user_" + std::to_string(++users_), nullptr, type);
  }

  static rapidjson::Document json(const std::string& text) {
    rapidjson::Document doc;
    doc.Parse(text.c_str());
    EXPECT_FALSE(doc.HasParseError()) << text;
    return doc;
  }

  double bodyVolume() { return measureVolume(occt_host::solidOf(state.part->mainBody())); }
  static double measureVolume(const TopoDS_Shape& shape) {
    if (shape.IsNull()) return 0;
    GProp_GProps props;
    BRepGProp::VolumeProperties(shape, props);
    return props.Mass();
  }

  kestrun::SharedWriterState state;
  kestrun::WriterRegistry registry;
  int users_ = 0;
};
