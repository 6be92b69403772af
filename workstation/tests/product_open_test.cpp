// Opening a product JSON: it becomes a Product whose instances the view places and the tree
// names, instead of an empty Part.
#include <QTreeWidget>

#include "workstation_fixture.h"

namespace workstation::testing {
namespace {

TEST_F(DrawTest, AProductJsonOpensAsAProductWithItsInstancesPlaced) {
  Workstation::DrawResult result;
  std::shared_ptr<host::Document> product;
  const int status = ws_->openJson(ReadFile(EXAMPLES_DIR "/pin_stand_assembly.json"), 0, document_,
                                   result, &product);
  ASSERT_EQ(status, 0) << result.message;
  ASSERT_TRUE(product);
  EXPECT_NE(product, document_);
  OcctView* view = ws_->viewOf(product);
  ASSERT_NE(view, nullptr);
  view->repaint();
  QApplication::processEvents();
  // The plate, two placements of the one pin, and the cap.
  EXPECT_EQ(view->shownBodies(), 4);
  QTreeWidget* tree = ws_->mainWindowWidget().tree();
  for (const char* name : {"Base plate", "Pin left", "Pin right", "Cap"})
    EXPECT_FALSE(tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive).isEmpty()) << name;

  // The right pin (radius 5, 40 high) stands where its instance puts it, at (80, 30) on the
  // 10 mm plate: the middle of its top, at z = 50, shows the warm grey of a body, not the
  // blue-grey background.
  const QImage window = ws_->mainWindowWidget().grab().toImage();
  window.save(ARTIFACT_DIR "/workstation_product.png");
  const QColor top =
      window.pixelColor(view->mapTo(&ws_->mainWindowWidget(), view->pixelOf(80, 30, 50)));
  EXPECT_GT(top.red(), top.blue()) << top.name().toStdString();
  // The empty Part the session started with is untouched.
  EXPECT_EQ(ws_->viewOf(document_)->shownBodies(), 0);
}

}  // namespace
}  // namespace workstation::testing
