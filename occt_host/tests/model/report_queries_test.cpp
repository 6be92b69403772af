// What a report asks of the Part: the volume of a body's solid, of the solid right after
// a feature and of the whole Part; and which objects joined the Part since a mark.
#include <gtest/gtest.h>

#include <cmath>

#include "host/creation_journal.h"
#include "host/solid_volume.h"
#include "host/wireframe.h"
#include "part_fixture.h"

namespace occt_host::testing {
namespace {

using ReportQueries = PartFixture;

std::vector<std::string> names(const host::SpecObjectList& list) {
  std::vector<std::string> out;
  for (const auto& o : list) out.push_back(o->name());
  return out;
}

double volumeOf(const host::SpecObjectPtr& object) {
  auto measure = host::query<host::SolidVolume>(object);
  double mm3 = -1;
  if (!measure || !measure->volume(mm3)) return -1;
  return mm3;
}

TEST_F(ReportQueries, VolumesOfBodyFeatureAndPart) {
  // A body without a solid has nothing to measure; neither has a sketch.
  EXPECT_EQ(volumeOf(part->mainBody()), -1);
  auto sketch = sketchWithCircles({{0, 0, 10}});
  EXPECT_FALSE(host::query<host::SolidVolume>(sketch));
  // Cylinder r 10, h 10: 1000 pi.
  auto first = pad(sketch, 10, 0);
  ASSERT_TRUE(first && host::succeeded(first->update().status));
  EXPECT_NEAR(volumeOf(part->mainBody()), 1000 * M_PI, 1e-6);
  // A separate cylinder r 5, h 4 beside it: the body holds 1000 pi + 100 pi; the first
  // pad still measures the solid right after it.
  auto second = pad(sketchWithCircles({{30, 0, 5}}), 4, 0);
  ASSERT_TRUE(second && host::succeeded(second->update().status));
  EXPECT_NEAR(volumeOf(part->mainBody()), 1100 * M_PI, 1e-6);
  EXPECT_NEAR(volumeOf(second), 1100 * M_PI, 1e-6);
  EXPECT_NEAR(volumeOf(first), 1000 * M_PI, 1e-6);
  // A second body with a cylinder r 2, h 10: 40 pi. The Part
  // measures both bodies.
  auto bodies = host::query<host::BodyFactory>(container);
  auto other = bodies->createBody("");
  part->setCurrentTool(other);
  part->setCurrentFeature(other);
  auto third = pad(sketchWithCircles({{0, 50, 2}}), 10, 0);
  ASSERT_TRUE(third && host::succeeded(third->update().status));
  EXPECT_NEAR(volumeOf(other), 40 * M_PI, 1e-6);
  EXPECT_NEAR(volumeOf(partObject), 1140 * M_PI, 1e-6);
}

TEST_F(ReportQueries, JournalListsWhatJoinedSinceTheMarkStillInThePart) {
  auto journal = host::query<host::CreationJournal>(partObject);
  ASSERT_TRUE(journal);
  // The planes and the main body joined when the Part was made.
  const std::uint64_t start = journal->mark();
  EXPECT_TRUE(journal->joinedSince(start).empty());
  auto sketch = sketchWithCircles({{0, 0, 10}});
  auto pad1 = pad(sketch, 10, 0);
  EXPECT_EQ(names(journal->joinedSince(start)), (std::vector<std::string>{"Sketch.1", "Pad.1"}));

  const std::uint64_t afterPad = journal->mark();
  auto bodies = host::query<host::BodyFactory>(container);
  auto other = bodies->createBody("");
  // Moving the pad into the new body makes nothing new; removing the sketch takes it out.
  ASSERT_EQ(host::query<host::Descendants>(other)->appendChild(pad1), host::kOk);
  ASSERT_EQ(host::query<host::Descendants>(part->mainBody())->removeChild(sketch), host::kOk);
  EXPECT_EQ(names(journal->joinedSince(afterPad)), std::vector<std::string>{other->name()});
  EXPECT_EQ(names(journal->joinedSince(start)), (std::vector<std::string>{"Pad.1", other->name()}));
}

// The journal forgets what left the Part long ago (each entry kept the memory of what it
// named); the marks taken before keep meaning the same place.
TEST_F(ReportQueries, JournalMarksHoldWhileWhatLeftThePartIsForgotten) {
  auto journal = host::query<host::CreationJournal>(partObject);
  auto body = host::query<host::Descendants>(part->mainBody());
  ASSERT_TRUE(journal && body);
  const std::uint64_t start = journal->mark();
  auto kept = sketchWithCircles({{0, 0, 10}});
  const std::uint64_t afterKept = journal->mark();
  for (int i = 0; i < 300; ++i) {
    auto gone = sketchWithCircles({{0, 0, 5}});
    ASSERT_EQ(body->removeChild(gone), host::kOk);
  }
  EXPECT_EQ(journal->mark(), afterKept + 300);
  auto last = sketchWithCircles({{0, 0, 2}});
  EXPECT_EQ(names(journal->joinedSince(start)),
            (std::vector<std::string>{kept->name(), last->name()}));
  EXPECT_EQ(names(journal->joinedSince(afterKept)), std::vector<std::string>{last->name()});
  EXPECT_TRUE(journal->joinedSince(journal->mark()).empty());
}

}  // namespace
}  // namespace occt_host::testing
