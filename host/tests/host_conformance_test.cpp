// What every adapter of host/ must do, run against occt_host and the in-memory null
// adapter alike; a new adapter adds itself to the list of types.
#include <gtest/gtest.h>

#include <memory>

#include "host/document.h"
#include "host/part.h"
#include "host/part_factory.h"
#include "host/sketch.h"
#include "null_host.h"
#include "occt_host/session/session.h"

namespace {

struct OcctAdapter {
  occt_host::Session session;
  std::shared_ptr<host::Document> newPartDocument() { return session.newDocument("Part"); }
};

struct NullAdapter {
  std::shared_ptr<host::Document> newPartDocument() { return null_host::newPartDocument(); }
};

template <class Adapter>
class HostConformance : public ::testing::Test {
 protected:
  void SetUp() override {
    document = adapter.newPartDocument();
    ASSERT_TRUE(document);
    auto roots = host::query<host::DocumentRoots>(document);
    ASSERT_TRUE(roots);
    container = host::query<host::PartContainer>(roots->rootContainer(host::kPartContainerType));
    ASSERT_TRUE(container);
    partObject = container->part();
    part = host::query<host::Part>(partObject);
    ASSERT_TRUE(part);
  }

  Adapter adapter;
  std::shared_ptr<host::Document> document;
  std::shared_ptr<host::PartContainer> container;
  host::SpecObjectPtr partObject;
  std::shared_ptr<host::Part> part;
};

using Adapters = ::testing::Types<OcctAdapter, NullAdapter>;
TYPED_TEST_SUITE(HostConformance, Adapters);

TYPED_TEST(HostConformance, APartDocumentSaysItsKind) {
  EXPECT_EQ(this->document->kind(), "Part");
  EXPECT_FALSE(this->document->name().empty());
}

TYPED_TEST(HostConformance, ANewPartHoldsThreePlanesAndItsMainBodyIsCurrent) {
  const host::SpecObjectList planes = this->part->referencePlanes();
  ASSERT_EQ(planes.size(), 3u);
  const char* names[] = {"xy plane", "yz plane", "zx plane"};
  for (std::size_t i = 0; i < planes.size(); ++i) {
    ASSERT_TRUE(planes[i]);
    EXPECT_EQ(planes[i]->typeName(), "Plane");
    EXPECT_EQ(planes[i]->name(), names[i]);
    EXPECT_TRUE(host::sameObject(planes[i]->father(), this->partObject));
  }
  host::SpecObjectPtr body = this->part->mainBody();
  ASSERT_TRUE(body);
  EXPECT_EQ(body->typeName(), "Body");
  EXPECT_EQ(body->name(), "PartBody");
  EXPECT_TRUE(host::sameObject(this->part->currentTool(), body));
  EXPECT_EQ(this->partObject->father(), nullptr);  // the Part is the root of its tree
}

TYPED_TEST(HostConformance, AMissingCapabilityAnswersNull) {
  EXPECT_EQ(this->document->queryInterface("host.NoSuchCapability"), nullptr);
  EXPECT_EQ(this->container->queryInterface("host.NoSuchCapability"), nullptr);
  EXPECT_EQ(this->partObject->queryInterface("host.NoSuchCapability"), nullptr);
  auto roots = host::query<host::DocumentRoots>(this->document);
  EXPECT_EQ(roots->rootContainer("CATINoSuchContainer"), nullptr);
  // A Part is no document, and a null handle answers null without a call.
  EXPECT_EQ(host::query<host::Document>(this->partObject), nullptr);
  EXPECT_EQ(host::query<host::Part>(host::SpecObjectPtr{}), nullptr);
}

TYPED_TEST(HostConformance, HandlesOfOneObjectAreOneObject) {
  EXPECT_TRUE(host::sameObject(this->container->part(), this->partObject));
  EXPECT_TRUE(host::sameObject(this->part, this->partObject));
  EXPECT_FALSE(host::sameObject(this->part->mainBody(), this->partObject));
  EXPECT_FALSE(host::sameObject(this->partObject, host::SpecObjectPtr{}));
}

TYPED_TEST(HostConformance, TheCurrentFeatureIsWhatWasSet) {
  host::SpecObjectPtr body = this->part->mainBody();
  ASSERT_EQ(this->part->setCurrentFeature(body), host::kOk);
  EXPECT_TRUE(host::sameObject(this->part->currentFeature(), body));
}

// A new feature goes into the current body right after the current feature, even when
// that is not the body's last child, and becomes the current feature.
TYPED_TEST(HostConformance, AFeatureIsInsertedAfterTheCurrentFeature) {
  auto sketches = host::query<host::SketchFactory>(this->container);
  ASSERT_TRUE(sketches);
  const host::Point3 origin{0, 0, 0};
  const host::Vec3 h{1, 0, 0}, v{0, 1, 0};
  host::SpecObjectPtr first = sketches->createSketch(origin, h, v);
  host::SpecObjectPtr second = sketches->createSketch(origin, h, v);
  ASSERT_TRUE(first && second);
  host::SpecObjectPtr body = this->part->mainBody();
  EXPECT_TRUE(host::sameObject(first->father(), body));
  EXPECT_TRUE(host::sameObject(this->part->currentFeature(), second));

  ASSERT_EQ(this->part->setCurrentFeature(first), host::kOk);
  host::SpecObjectPtr third = sketches->createSketch(origin, h, v);
  ASSERT_TRUE(third);
  EXPECT_TRUE(host::sameObject(this->part->currentFeature(), third));
  auto children = host::query<host::Descendants>(body)->children();
  ASSERT_EQ(children.size(), 3u);
  EXPECT_TRUE(host::sameObject(children[0], first));
  EXPECT_TRUE(host::sameObject(children[1], third));
  EXPECT_TRUE(host::sameObject(children[2], second));
}

// An update that cannot be computed answers a negative status with the reason in words,
// and leaves the feature in the tree for the caller to decide.
TYPED_TEST(HostConformance, AFailedUpdateIsNegativeAndSaysWhy) {
  auto sketches = host::query<host::SketchFactory>(this->container);
  auto factory = host::query<host::PartFactory>(this->container);
  ASSERT_TRUE(sketches && factory);
  host::SpecObjectPtr empty = sketches->createSketch({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  host::SpecObjectPtr pad = factory->createPad(empty);
  ASSERT_TRUE(pad);
  const host::UpdateResult result = pad->update();
  EXPECT_LT(result.status, 0);
  EXPECT_FALSE(result.ok());
  EXPECT_FALSE(result.diagnostic.empty());
  EXPECT_TRUE(host::sameObject(pad->father(), this->part->mainBody()));
}

}  // namespace
