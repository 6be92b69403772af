// What the model tree and the status bar tell a user about a draw: the tree in the body's
// order as the host holds it, failed items in red under their own names with the reason,
// items that made nothing still listed, the progress while drawing, and the part fitted
// into the view at the end.
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QWheelEvent>

#include <functional>
#include <regex>

#include "occt_host/kernel/inspect.h"
#include "occt_host/model/body.h"
#include "occt_host/model/container.h"
#include "occt_host/model/part.h"
#include "occt_host/session/document.h"
#include "workstation_fixture.h"

namespace workstation::testing {
namespace {

// The host's own order: the Part's children and each container's, depth first.
void HostOrder(const std::shared_ptr<occt_host::TreeNode>& node, std::vector<std::string>& out) {
  out.push_back(node->displayName());
  if (auto container = std::dynamic_pointer_cast<occt_host::TreeContainer>(node)) {
    for (const auto& child : container->childNodes()) HostOrder(child, out);
  }
}

// The host objects as the tree lists them, depth first, below the Part's own item.
void TreeOrder(QTreeWidgetItem* item, std::vector<std::string>& out) {
  const QString host = item->data(0, kHostNameRole).toString();
  if (!host.isEmpty()) out.push_back(host.toStdString());
  for (int i = 0; i < item->childCount(); ++i) TreeOrder(item->child(i), out);
}

QTreeWidgetItem* FindItem(QTreeWidget* tree, const QString& text) {
  const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
  return found.isEmpty() ? nullptr : found.front();
}

class TreeTest : public DrawTest {
 protected:
  std::vector<std::string> hostOrder() {
    auto ours = std::dynamic_pointer_cast<occt_host::Document>(document_);
    std::vector<std::string> out;
    HostOrder(ours->container()->partNode(), out);
    return out;
  }
  std::vector<std::string> treeOrder() {
    QTreeWidget* tree = ws_->mainWindowWidget().tree();
    std::vector<std::string> out;
    // The top item is the document; the Part is its only child.
    EXPECT_EQ(tree->topLevelItemCount(), 1);
    if (tree->topLevelItemCount() == 1 && tree->topLevelItem(0)->childCount() == 1)
      TreeOrder(tree->topLevelItem(0)->child(0), out);
    return out;
  }
  void draw(const std::string& json, std::uint32_t delayMs = 0) {
    Workstation::DrawResult result;
    ws_->drawJson(document_, json, delayMs, result);
    QApplication::processEvents();
  }
};

TEST_F(TreeTest, TheBracketsTreeFollowsTheHostsFeatureOrder) {
  draw(ReadFile(EXAMPLES_DIR "/flanged_bracket.json"));
  const std::vector<std::string> host = hostOrder();
  // The Part, its three planes, PartBody and the geometrical set at least.
  ASSERT_GT(host.size(), 30u);
  EXPECT_EQ(treeOrder(), host);
  ws_->mainWindowWidget().grab().save(ARTIFACT_DIR "/workstation_tree_order.png");
}

TEST_F(TreeTest, TheBoltFlangesTreeFollowsTheHostsFeatureOrder) {
  draw(ReadFile(EXAMPLES_DIR "/bolt_flange.json"));
  const std::vector<std::string> host = hostOrder();
  ASSERT_GT(host.size(), 8u);
  EXPECT_EQ(treeOrder(), host);
}

// A 100 x 60 x 10 plate, a hole drilled at two locations, a round too large for the plate's
// 10 mm faces (fails) and a round on an edge that is not there (skipped, makes nothing).
const char kPlateItems[] = R"({"mode":"part","flatNode":[
 {"type":"sketch","id":"s_plate","name":"Plate sketch","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],
  "geometries":[{"type":"line","x1":0,"y1":0,"x2":100,"y2":0},{"type":"line","x1":100,"y1":0,"x2":100,"y2":60},
   {"type":"line","x1":100,"y1":60,"x2":0,"y2":60},{"type":"line","x1":0,"y1":60,"x2":0,"y2":0}]},
 {"type":"extrude","id":"plate","name":"Plate","sketchId":"s_plate","n1Height":10},
 {"type":"hole","id":"h","name":"Mount holes","diameter":8,"depth":10,"boolSolids":["plate"],
  "direction":{"dx":0,"dy":0,"dz":-1},"locations":[{"x":20,"y":30,"z":10},{"x":80,"y":30,"z":10}]},
 {"type":"fillet","id":"f","name":"Edge round","radius":30,"filletTopos":[{"featureId":"plate",
  "topoType":"edge","type":"line","start":[0,0,10],"end":[100,0,10]}]},
 {"type":"fillet","id":"f2","name":"Nothing round","radius":2,"filletTopos":[{"featureId":"plate",
  "topoType":"edge","type":"line","start":[0,0,50],"end":[100,0,50]}]}]})";

TEST_F(TreeTest, FailedAndUnbuiltItemsShowUnderTheirOwnNames) {
  draw(kPlateItems);
  QTreeWidget* tree = ws_->mainWindowWidget().tree();
  ws_->mainWindowWidget().grab().save(ARTIFACT_DIR "/workstation_failed_item.png");

  // The failed fillet is named by its item, not by the host's default "EdgeFillet.1", in
  // red, with the kernel's reason as its tooltip; its mark fits in the column.
  QTreeWidgetItem* failed = FindItem(tree, "Edge round  (failed)");
  ASSERT_NE(failed, nullptr);
  EXPECT_EQ(failed->data(0, kHostNameRole).toString(), "EdgeFillet.1");
  EXPECT_EQ(failed->foreground(0).color(), QColor(190, 30, 30));
  EXPECT_NE(failed->toolTip(0).indexOf("the round found no start"), -1)
      << failed->toolTip(0).toStdString();
  const QFontMetrics metrics(tree->font());
  EXPECT_GE(tree->columnWidth(0), metrics.horizontalAdvance(failed->text(0)));

  // The round that made no host object is listed after the failed one, in its body.
  QTreeWidgetItem* unbuilt = FindItem(tree, "Nothing round  (not built)");
  ASSERT_NE(unbuilt, nullptr);
  ASSERT_EQ(unbuilt->parent(), failed->parent());
  EXPECT_EQ(unbuilt->parent()->indexOfChild(unbuilt), failed->parent()->indexOfChild(failed) + 1);
  EXPECT_NE(unbuilt->toolTip(0).indexOf("warning: Skipped fillet"), -1);

  // The hole's two cuts are told apart by their locations.
  EXPECT_NE(FindItem(tree, "Mount holes (location 1)"), nullptr);
  EXPECT_NE(FindItem(tree, "Mount holes (location 2)"), nullptr);
  EXPECT_EQ(FindItem(tree, "Mount holes"), nullptr);
}

TEST_F(TreeTest, AFailedHoleAtTwoLocationsShowsBothCutsNumberedUnderItsName) {
  // A counterbore narrower than its hole fails at both locations; the host's holes keep
  // their default names "Hole.1" and "Hole.2", the direction lines the item's name.
  std::string json = kPlateItems;
  json = json.substr(0, json.find(R"(,
 {"type":"hole")")) +
         R"(,
 {"type":"hole","id":"h","name":"Holes","holeType":"counterbore","diameter":6,"depth":10,
  "cbDiameter":5,"cbDepth":3,"boolSolids":["plate"],"direction":{"dx":0,"dy":0,"dz":-1},
  "locations":[{"x":20,"y":30,"z":10},{"x":80,"y":30,"z":10}]}]})";
  draw(json);
  QTreeWidget* tree = ws_->mainWindowWidget().tree();
  for (const char* name : {"Holes (location 1)  (failed)", "Holes (location 2)  (failed)"}) {
    QTreeWidgetItem* hole = FindItem(tree, name);
    ASSERT_NE(hole, nullptr) << name;
    EXPECT_NE(hole->toolTip(0).indexOf("counterbore diameter must exceed"), -1);
  }
  EXPECT_EQ(FindItem(tree, "Hole.1"), nullptr);
  QTreeWidgetItem* line = FindItem(tree, "Holes_1_dir");
  ASSERT_NE(line, nullptr);
  EXPECT_NE(line->foreground(0).color(), QColor(190, 30, 30));
}

TEST_F(TreeTest, TheStatusBarShowsTheItemBeingDrawnAndTheViewFitsThePartAtTheEnd) {
  std::vector<std::string> shown;
  bool zoomed = false;
  // During the pauses the user zooms far in; the end of the draw brings the part back.
  std::function<void()> watch = [&] {
    shown.push_back(ws_->mainWindowWidget().statusBar()->currentMessage().toStdString());
    if (shown.size() == 6) {
      ws_->mainWindowWidget().grab().save(ARTIFACT_DIR "/workstation_status_during_draw.png");
      for (int i = 0; i < 20; ++i) {
        QWheelEvent wheel(QPointF(50, 50), view_->mapToGlobal(QPointF(50, 50)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view_, &wheel);
      }
      zoomed = true;
    }
    if (ws_->progress().drawing()) QTimer::singleShot(25, watch);
  };
  QTimer::singleShot(0, watch);
  draw(ReadFile(EXAMPLES_DIR "/flanged_bracket.json"), 40);
  ASSERT_TRUE(zoomed);
  const std::regex progress(R"(item (\d+) of 18: .+)");
  int matching = 0;
  for (const std::string& line : shown) matching += std::regex_match(line, progress);
  EXPECT_GE(matching, 5);
  // Each item is counted once as it starts: the numbers only grow.
  int last = 0;
  for (const std::string& line : shown) {
    std::smatch m;
    if (!std::regex_match(line, m, progress)) continue;
    EXPECT_GE(std::stoi(m[1]), last) << line;
    last = std::stoi(m[1]);
  }
  EXPECT_GE(last, 17);
  EXPECT_EQ(ws_->mainWindowWidget().statusBar()->currentMessage(), "Drawn: 18 items, 0 failed");

  // The bracket's corners, 120 x 80 x 70, all show inside the view again.
  view_->repaint();
  for (double x : {0.0, 120.0})
    for (double y : {0.0, 80.0})
      for (double z : {0.0, 70.0}) {
        const QPoint p = view_->pixelOf(x, y, z);
        EXPECT_TRUE(view_->rect().contains(p)) << x << " " << y << " " << z;
      }
}

}  // namespace
}  // namespace workstation::testing
