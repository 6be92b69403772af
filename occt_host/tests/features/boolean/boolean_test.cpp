#include <gtest/gtest.h>

#include "plate_fixture.h"

namespace occt_host::testing {
namespace {

using BooleanTest = PlateFixture;

TEST_F(BooleanTest, RemoveCutsTheToolBodyAndAggregatesIt) {
  auto plateBody = part->mainBody();
  auto plateFeature = plate();
  ASSERT_TRUE(plateFeature);
  auto cylinder = bore(50, 50, 5);
  ASSERT_TRUE(cylinder);
  auto toolBody = cylinder->father();
  auto remove = booleans->createRemove(plateFeature, cylinder);
  ASSERT_TRUE(remove);
  EXPECT_EQ(remove->typeName(), "Remove");
  ASSERT_TRUE(host::query<host::BooleanOperation>(remove));
  host::UpdateResult result = remove->update();
  ASSERT_TRUE(result.ok()) << result.diagnostic;

  EXPECT_TRUE(host::sameObject(remove->father(), plateBody));
  EXPECT_TRUE(host::sameObject(toolBody->father(), remove));
  // 100 * 100 * 10 - pi * 5^2 * 10 = 99214.60...
  double expected = 100000.0 - kPi * 250.0;
  EXPECT_NEAR(volume(solidOf(plateBody)), expected, expected * 1e-6);
  // The tool body is part of the boolean now: one solid in the file.
  std::vector<double> volumes = exportedSolidVolumes();
  ASSERT_EQ(volumes.size(), 1u);
  EXPECT_NEAR(volumes[0], expected, expected * 1e-6);
}

TEST_F(BooleanTest, AddThroughModifyOperatedObject) {
  auto plateFeature = plate();
  ASSERT_TRUE(plateFeature);
  ASSERT_TRUE(newBody());
  auto block = pad(rectangle(0, 0, 10, 20, 10), 5, 0);
  ASSERT_TRUE(block && block->update().ok());
  auto add = booleans->createAdd(plateFeature, nullptr);
  ASSERT_TRUE(add);
  EXPECT_EQ(add->typeName(), "Add");
  auto operation = host::query<host::BooleanOperation>(add);
  ASSERT_EQ(operation->modifyOperatedObject(block), host::kOk);
  ASSERT_TRUE(add->update().ok());
  // The plate plus a 10 x 20 x 5 block on its top: 100000 + 1000.
  EXPECT_NEAR(volume(solidOf(part->mainBody())), 101000.0, 101000.0 * 1e-6);
  std::vector<double> volumes = exportedSolidVolumes();
  ASSERT_EQ(volumes.size(), 1u);
  EXPECT_NEAR(volumes[0], 101000.0, 101000.0 * 1e-6);
}

TEST_F(BooleanTest, IntersectOfTwoOverlappingBoxes) {
  auto plateFeature = plate();
  ASSERT_TRUE(newBody());
  auto box = pad(rectangle(50, 50, 150, 150, 5), 20, 0);
  ASSERT_TRUE(box && box->update().ok());
  auto intersect = booleans->createIntersect(plateFeature, nullptr);
  ASSERT_TRUE(intersect);
  EXPECT_EQ(intersect->typeName(), "Intersect");
  ASSERT_EQ(host::query<host::BooleanOperation>(intersect)->modifyOperatedObject(box), host::kOk);
  ASSERT_TRUE(intersect->update().ok());
  // [50, 100] x [50, 100] x [5, 10]: 50 * 50 * 5 = 12500.
  EXPECT_NEAR(volume(solidOf(part->mainBody())), 12500.0, 12500.0 * 1e-6);
}

TEST_F(BooleanTest, ModifyOperatedObjectRefusals) {
  auto plateFeature = plate();
  auto cylinder = bore(50, 50, 5);
  auto add = booleans->createAdd(plateFeature, nullptr);
  ASSERT_TRUE(add);
  auto operation = host::query<host::BooleanOperation>(add);
  EXPECT_LT(operation->modifyOperatedObject(nullptr), 0);
  // A feature of the target body itself, and the target body.
  EXPECT_LT(operation->modifyOperatedObject(plateFeature), 0);
  EXPECT_LT(operation->modifyOperatedObject(part->mainBody()), 0);
  // Unchanged: still without a tool, so the update fails and says why.
  EXPECT_EQ(host::query<host::Descendants>(add)->children().size(), 0u);
  host::UpdateResult result = add->update();
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.diagnostic.find("no tool body"), std::string::npos) << result.diagnostic;
  EXPECT_TRUE(host::sameObject(cylinder->father()->father(), partObject));
}

TEST_F(BooleanTest, ModifyOperatedObjectRefusesACycle) {
  auto plateFeature = plate();
  auto cylinder = bore(50, 50, 5);
  auto toolBody = cylinder->father();
  ASSERT_TRUE(booleans->createRemove(plateFeature, cylinder));
  // A boolean in the aggregated body that would take the plate's body in turn.
  auto inner = booleans->createAdd(cylinder, nullptr);
  ASSERT_TRUE(inner);
  EXPECT_TRUE(host::sameObject(inner->father(), toolBody));
  EXPECT_EQ(host::query<host::BooleanOperation>(inner)->modifyOperatedObject(plateFeature),
            host::kInvalidArg);
}

TEST_F(BooleanTest, EachRemoveLandsRightAfterTheOperatedFeature) {
  auto plateBody = part->mainBody();
  auto plateFeature = plate();
  auto first = booleans->createRemove(plateFeature, bore(20, 20, 5));
  auto second = booleans->createRemove(plateFeature, bore(80, 80, 5));
  ASSERT_TRUE(first && second);
  ASSERT_TRUE(first->update().ok());
  ASSERT_TRUE(second->update().ok());
  std::size_t at = indexIn(plateBody, plateFeature);
  EXPECT_EQ(indexIn(plateBody, second), at + 1);
  EXPECT_EQ(indexIn(plateBody, first), at + 2);
  // Both holes: 100000 - 2 * 250 pi.
  double expected = 100000.0 - 2 * kPi * 250.0;
  EXPECT_NEAR(volume(solidOf(plateBody)), expected, expected * 1e-6);
}

TEST_F(BooleanTest, OperatedBodyPlacesTheBooleanAtItsEnd) {
  auto plateBody = part->mainBody();
  auto plateFeature = plate();
  auto remove = booleans->createRemove(plateBody, bore(50, 50, 5));
  ASSERT_TRUE(remove);
  auto children = host::query<host::Descendants>(plateBody)->children();
  EXPECT_TRUE(host::sameObject(children.back(), remove));
}

TEST_F(BooleanTest, RemoveOfEverythingFailsWithText) {
  auto plateFeature = plate();
  ASSERT_TRUE(newBody());
  auto block = pad(rectangle(-10, -10, 110, 110), 20, 5);
  ASSERT_TRUE(block && block->update().ok());
  auto remove = booleans->createRemove(plateFeature, block);
  ASSERT_TRUE(remove);
  host::UpdateResult result = remove->update();
  RecordProperty("diagnostic", result.diagnostic);
  EXPECT_TRUE(host::failed(result.status));
  EXPECT_NE(result.diagnostic.find("no solid"), std::string::npos) << result.diagnostic;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), 100000.0, 100000.0 * 1e-6);
}

TEST_F(BooleanTest, ToolBodyWithoutSolidFails) {
  auto plateFeature = plate();
  auto empty = newBody();
  auto remove = booleans->createRemove(plateFeature, empty);
  ASSERT_TRUE(remove);
  host::UpdateResult result = remove->update();
  EXPECT_TRUE(host::failed(result.status));
  EXPECT_NE(result.diagnostic.find("has no solid"), std::string::npos) << result.diagnostic;
}

TEST_F(BooleanTest, NoBooleanOutsideABody) {
  auto cylinder = bore(50, 50, 5);
  EXPECT_FALSE(booleans->createRemove(nullptr, cylinder));
  EXPECT_FALSE(booleans->createRemove(partObject, cylinder));
  // The tool in the target body itself: refused, and nothing is left behind.
  auto before = host::query<host::Descendants>(cylinder->father())->children().size();
  EXPECT_FALSE(booleans->createRemove(cylinder, cylinder));
  EXPECT_EQ(host::query<host::Descendants>(cylinder->father())->children().size(), before);
}

}  // namespace
}  // namespace occt_host::testing
