// What the model tree reads of a document: each feature's last computed state, never a
// recompute, so that redrawing the tree of a growing part costs nothing of the kernel's.
#include <gtest/gtest.h>

#include <string>

#include "document_scene.h"
#include "occt_host/model/solid_feature.h"
#include "part_fixture.h"

namespace workstation::testing {
namespace {

class DocumentSceneTest : public occt_host::testing::PartFixture {};

// The first item of `item` (depth first) whose name is `name`, or null.
const TreeItem* find(const TreeItem& item, const std::string& name) {
  if (item.name == name) return &item;
  for (const TreeItem& child : item.children) {
    if (const TreeItem* found = find(child, name)) return found;
  }
  return nullptr;
}

TEST_F(DocumentSceneTest, TheTreeReadsTheLastComputedStateWithoutComputing) {
  auto block = pad(sketchWithCircles({{0, 0, 10}}), 10, 0);
  ASSERT_TRUE(block && block->update().ok());
  // A zero-length post fails its update and shows as failed.
  auto post = pad(sketchWithCircles({{0, 0, 2}}, {0, 0, 10}), 0, 0);
  ASSERT_TRUE(post);
  ASSERT_FALSE(post->update().ok());
  // Lengthening the block puts both features out of date; the tree leaves them so.
  ASSERT_TRUE(
      host::succeeded(host::query<host::Pad>(block)->setLimitLength(host::LimitEnd::First, 20)));
  auto blockFeature = std::dynamic_pointer_cast<occt_host::SolidFeature>(block);
  auto postFeature = std::dynamic_pointer_cast<occt_host::SolidFeature>(post);
  ASSERT_FALSE(blockFeature->upToDate());

  TreeItem root = modelTree(document);
  EXPECT_FALSE(blockFeature->upToDate());
  EXPECT_FALSE(postFeature->upToDate());
  const TreeItem* blockItem = find(root, block->name());
  const TreeItem* postItem = find(root, post->name());
  ASSERT_TRUE(blockItem && postItem);
  EXPECT_FALSE(blockItem->failed);
  EXPECT_TRUE(postItem->failed);
  EXPECT_FALSE(postItem->error.empty());
}

}  // namespace
}  // namespace workstation::testing
