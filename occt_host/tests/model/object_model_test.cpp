#include <gtest/gtest.h>

#include "host/application.h"
#include "host/spec_object.h"
#include "part_fixture.h"

namespace occt_host::testing {
namespace {

using ObjectModelTest = PartFixture;

TEST_F(ObjectModelTest, EveryInterfaceOfAnObjectHasOneIdentity) {
  auto sketch = sketchWithCircles({{0, 0, 5}});
  auto asSketch = host::query<host::Sketch>(sketch);
  auto asFactory = host::query<host::Factory2D>(sketch);
  auto asAlias = host::query<host::Alias>(sketch);
  ASSERT_TRUE(asSketch && asFactory && asAlias);
  EXPECT_TRUE(host::sameObject(asSketch, asFactory));
  EXPECT_TRUE(host::sameObject(asAlias, sketch));
  EXPECT_EQ(sketch->queryInterface("host.Unknown"), asFactory->queryInterface("host.Unknown"));
  EXPECT_FALSE(host::sameObject(sketch, part->mainBody()));
  // Handles share ownership with the object.
  EXPECT_GT(
      std::static_pointer_cast<host::Sketch>(sketch->queryInterface("host.Sketch")).use_count(), 1);
}

TEST_F(ObjectModelTest, MissingInterfacesAnswerNull) {
  auto sketch = sketchWithCircles({{0, 0, 5}});
  EXPECT_FALSE(host::query<host::Pad>(sketch));
  EXPECT_FALSE(host::query<host::Descendants>(sketch));
  EXPECT_FALSE(sketch->queryInterface("host.NoSuchThing"));
  EXPECT_FALSE(host::query<host::Part>(document));
  auto padFeature = features->createPad(sketch);
  EXPECT_TRUE(host::query<host::Pad>(padFeature));
  EXPECT_TRUE(host::query<host::Prism>(padFeature));
  EXPECT_EQ(padFeature->typeName(), "Pad");
  EXPECT_FALSE(host::query<host::Sketch>(padFeature));
}

TEST_F(ObjectModelTest, DocumentsWithoutAPartHaveNoPartContainer) {
  for (const char* kind : {"Product", "Drawing"}) {
    auto other = session.newDocument(kind);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->kind(), kind);
    auto roots = host::query<host::DocumentRoots>(other);
    ASSERT_TRUE(roots);
    EXPECT_FALSE(roots->rootContainer(host::kPartContainerType));
    EXPECT_TRUE(host::query<host::DocumentEditor>(other)->editor());
  }
  EXPECT_FALSE(session.newDocument("Spreadsheet"));
  EXPECT_FALSE(host::query<host::DocumentRoots>(document)->rootContainer("CATProdCont"));
}

TEST_F(ObjectModelTest, OneEditorPerDocument) {
  auto editors = host::query<host::DocumentEditor>(document);
  auto editor = editors->editor();
  EXPECT_TRUE(host::sameObject(editor, editors->editor()));
  EXPECT_TRUE(host::sameObject(editor->document(), document));
  auto other = session.newDocument("Part");
  EXPECT_FALSE(host::sameObject(host::query<host::DocumentEditor>(other)->editor(), editor));
  EXPECT_EQ(other->name(), "Part2");
}

TEST_F(ObjectModelTest, DegenerateSketchPlacementsAreRefused) {
  EXPECT_FALSE(sketches->createSketch({0, 0, 0}, {0, 0, 0}, {0, 1, 0}));
  EXPECT_FALSE(sketches->createSketch({0, 0, 0}, {1, 0, 0}, {2, 0, 0}));
  EXPECT_FALSE(sketches->createSketch({0, 0, 0}, {1, 0, 0}, {0, 0, 0}));
  // A skewed vertical direction is squared to the horizontal one.
  auto sketch = sketches->createSketch({1, 2, 3}, {2, 0, 0}, {1, 1, 0});
  ASSERT_TRUE(sketch);
  host::Plane plane = host::query<host::Sketch>(sketch)->plane();
  EXPECT_DOUBLE_EQ(plane.u.x, 1.0);
  EXPECT_NEAR(plane.v.x, 0.0, 1e-15);
  EXPECT_NEAR(plane.v.y, 1.0, 1e-15);
  EXPECT_EQ(plane.origin.z, 3.0);
}

TEST_F(ObjectModelTest, SketchGeometryOnlyWhileOpen) {
  auto sketch = sketches->createSketch({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  auto factory = host::query<host::Factory2D>(sketch);
  ASSERT_TRUE(factory);
  EXPECT_FALSE(factory->createCircle({0, 0}, 5));
  auto edition = host::query<host::Sketch>(sketch);
  EXPECT_EQ(edition->openEdition(), host::kOk);
  EXPECT_TRUE(factory->createCircle({0, 0}, 5));
  EXPECT_FALSE(factory->createCircle({0, 0}, 0));
  EXPECT_FALSE(factory->createCircle({0, 0}, -1));
  EXPECT_TRUE(factory->createPoint({3, 4}));
  EXPECT_EQ(edition->closeEdition(), host::kOk);
  EXPECT_FALSE(factory->createPoint({3, 4}));
}

TEST_F(ObjectModelTest, AliasAndColour) {
  auto body = part->mainBody();
  auto alias = host::query<host::Alias>(body);
  EXPECT_EQ(alias->alias(), "PartBody");
  EXPECT_EQ(alias->setAlias("Housing"), host::kOk);
  EXPECT_EQ(alias->alias(), "Housing");
  EXPECT_EQ(body->name(), "PartBody");
  auto vis = host::query<host::VisProperties>(body);
  host::Color color;
  EXPECT_FALSE(vis->color(color));
  EXPECT_EQ(vis->setColor({10, 20, 30}), host::kOk);
  ASSERT_TRUE(vis->color(color));
  EXPECT_EQ(color.g, 20);
  EXPECT_EQ(vis->setColor({256, 0, 0}), host::kInvalidArg);
  EXPECT_TRUE(vis->shown());
  vis->setShown(false);
  EXPECT_FALSE(vis->shown());
}

TEST_F(ObjectModelTest, PadNeedsASketchOfThisPart) {
  EXPECT_FALSE(features->createPad(nullptr));
  EXPECT_FALSE(features->createPad(part->mainBody()));
}

}  // namespace
}  // namespace occt_host::testing
