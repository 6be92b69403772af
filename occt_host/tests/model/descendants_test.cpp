#include <gtest/gtest.h>

#include "host/spec_object.h"
#include "part_fixture.h"

namespace occt_host::testing {
namespace {

using DescendantsTest = PartFixture;

std::vector<std::string> names(const host::SpecObjectList& list) {
  std::vector<std::string> out;
  for (const auto& o : list) out.push_back(o->name());
  return out;
}

TEST_F(DescendantsTest, NewPartHasPlanesAndMainBody) {
  auto tree = host::query<host::Descendants>(partObject);
  ASSERT_TRUE(tree);
  EXPECT_EQ(names(tree->children()),
            (std::vector<std::string>{"xy plane", "yz plane", "zx plane", "PartBody"}));
  auto planes = part->referencePlanes();
  ASSERT_EQ(planes.size(), 3u);
  EXPECT_EQ(planes[0]->typeName(), "Plane");
  EXPECT_TRUE(host::sameObject(planes[2]->father(), partObject));
  EXPECT_EQ(part->mainBody()->typeName(), "Body");
  EXPECT_TRUE(host::sameObject(part->currentTool(), part->mainBody()));
  EXPECT_FALSE(partObject->father());
  // Planes hold no children.
  EXPECT_FALSE(host::query<host::Descendants>(planes[0]));
}

TEST_F(DescendantsTest, FeaturesFollowTheCurrentFeatureAndListDepthFirst) {
  auto sketch = sketchWithCircles({{0, 0, 10}});
  auto pad1 = pad(sketch, 10, 0);
  EXPECT_TRUE(host::sameObject(sketch->father(), part->mainBody()));
  EXPECT_TRUE(host::sameObject(part->currentFeature(), pad1));
  // A feature made while the sketch is current goes between the sketch and the pad.
  part->setCurrentFeature(sketch);
  auto sketch2 = sketches->createSketch({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  auto all = host::query<host::Descendants>(partObject)->allDescendants();
  EXPECT_EQ(names(all), (std::vector<std::string>{"xy plane", "yz plane", "zx plane", "PartBody",
                                                  "Sketch.1", "Sketch.2", "Pad.1"}));
}

TEST_F(DescendantsTest, RemovingAFeatureKeepsTheCurrentFeatureSane) {
  auto sketch = sketchWithCircles({{0, 0, 10}});
  auto pad1 = pad(sketch, 10, 0);
  auto body = host::query<host::Descendants>(part->mainBody());
  EXPECT_EQ(body->removeChild(pad1), host::kOk);
  EXPECT_FALSE(pad1->father());
  EXPECT_TRUE(host::sameObject(part->currentFeature(), sketch));
  EXPECT_EQ(body->removeChild(sketch), host::kOk);
  EXPECT_TRUE(host::sameObject(part->currentFeature(), part->mainBody()));
  EXPECT_TRUE(body->children().empty());
  EXPECT_EQ(body->removeChild(sketch), host::kInvalidArg);
  EXPECT_EQ(body->removeChild(nullptr), host::kPointer);
}

TEST_F(DescendantsTest, RemovingABodyRemovesItsSubtree) {
  pad(sketchWithCircles({{0, 0, 10}}), 10, 0);
  auto tree = host::query<host::Descendants>(partObject);
  auto mainBody = part->mainBody();
  EXPECT_EQ(tree->allDescendants().size(), 6u);
  EXPECT_EQ(tree->removeChild(mainBody), host::kOk);
  EXPECT_EQ(tree->allDescendants().size(), 3u);
  EXPECT_FALSE(part->mainBody());
  EXPECT_FALSE(part->currentTool());
  EXPECT_FALSE(sketches->createSketch({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
  // The removed body still holds its own features.
  EXPECT_EQ(host::query<host::Descendants>(mainBody)->children().size(), 2u);
}

TEST_F(DescendantsTest, CurrentFeatureMustBelongToThePart) {
  Session other;
  auto foreign = other.newDocument("Part");
  auto foreignPart =
      host::query<host::PartContainer>(
          host::query<host::DocumentRoots>(foreign)->rootContainer(host::kPartContainerType))
          ->part();
  auto body = host::query<host::Part>(foreignPart)->mainBody();
  EXPECT_EQ(part->setCurrentFeature(body), host::kInvalidArg);
  EXPECT_EQ(part->setCurrentFeature(nullptr), host::kPointer);
  EXPECT_EQ(part->setCurrentTool(part->referencePlanes()[0]), host::kInvalidArg);
}

}  // namespace
}  // namespace occt_host::testing
