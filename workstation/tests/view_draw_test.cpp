// Drawing into the workstation: the real 3D view grows item by item, the window stays live
// during the pauses, quit cancels, and what is drawn shows on screen.
#include <QImage>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

#include "occt_host/kernel/inspect.h"
#include "occt_host/session/viewer.h"
#include "workstation/main_window.h"
#include "workstation/occt_view.h"
#include "workstation_fixture.h"

namespace workstation::testing {
namespace {

// Two pads on the XY plane: a 40 x 20 x 10 block and a 10 x 10 x 30 post beside it.
const char kTwoPads[] = R"({"mode":"part","flatNode":[
 {"type":"sketch","id":"s1","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"geometries":[
  {"type":"line","x1":0,"y1":0,"x2":40,"y2":0},{"type":"line","x1":40,"y1":0,"x2":40,"y2":20},
  {"type":"line","x1":40,"y1":20,"x2":0,"y2":20},{"type":"line","x1":0,"y1":20,"x2":0,"y2":0}]},
 {"type":"extrude","id":"p1","sketchId":"s1","n1Height":10},
 {"type":"sketch","id":"s2","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"geometries":[
  {"type":"line","x1":50,"y1":0,"x2":60,"y2":0},{"type":"line","x1":60,"y1":0,"x2":60,"y2":10},
  {"type":"line","x1":60,"y1":10,"x2":50,"y2":10},{"type":"line","x1":50,"y1":10,"x2":50,"y2":0}]},
 {"type":"extrude","id":"p2","sketchId":"s2","n1Height":30}]})";

TEST_F(DrawTest, TheViewRedrawsOncePerDrawnItem) {
  const int framesBefore = view_->frames();
  int framesAtFirstPause = -1;
  Workstation::DrawResult result;
  const int status = ws_->drawJson(document_, kTwoPads, 60, result);
  (void)framesAtFirstPause;
  ASSERT_EQ(status, 0) << result.message;
  ASSERT_EQ(result.createdCount, 4u);
  // Four items, each followed by its refresh: one painted frame per item (two redraw
  // requests per refresh fold into one frame), and the last one is already on screen.
  EXPECT_EQ(view_->frames() - framesBefore, 4);
  auto window = ws_->currentLayout()->currentWindow();
  ASSERT_TRUE(window);
  EXPECT_EQ(occt_host::redrawCount(window->viewer()), 8);
  EXPECT_EQ(view_->shownBodies(), 1);
  // 40*20*10 + 10*10*30 = 8000 + 3000 = 11000 mm^3.
  EXPECT_NEAR(occt_host::partVolume(document_), 11000.0, 1e-6);
}

// Beside a fast draw the status line and the tree wait for the view's next frame and change
// as it is taken, so that the window is composed once for all three: a change of its own
// would compose the whole window again (with a software renderer, as long as a frame).
TEST_F(DrawTest, WhatWaitsBesideTheViewChangesAsTheViewsFrameIsTaken) {
  Workstation::DrawResult result;
  ASSERT_EQ(ws_->drawJson(document_, kTwoPads, 0, result), 0) << result.message;
  MainWindow& window = ws_->mainWindowWidget();
  // Whatever frame the draw left on its way is shown; the next one is due at once.
  for (int i = 0; i < 10; ++i) QApplication::processEvents(QEventLoop::AllEvents, 20);
  ASSERT_EQ(view_->nextFrameIn(), 0);
  int treeBuilds = 0;
  auto labels = window.onTreeBuilt;
  window.onTreeBuilt = [&](const std::shared_ptr<host::Document>& document, TreeItem& root) {
    ++treeBuilds;
    if (labels) labels(document, root);
  };
  auto status = [&] { return window.statusBar()->currentMessage().toStdString(); };
  // Told to wait for the view's turn (a second: no timer of theirs fires in this test), the
  // status line and the tree stay as they are...
  window.showStatusWhenDue(QStringLiteral("waiting for the frame"), 1.0);
  window.refreshTreeWhenDue(1.0);
  QApplication::processEvents();
  EXPECT_NE(status(), "waiting for the frame");
  EXPECT_EQ(treeBuilds, 0);
  // ... until the view takes its next frame, which a request takes at once.
  view_->requestRedraw();
  EXPECT_EQ(status(), "waiting for the frame");
  EXPECT_EQ(treeBuilds, 1);
  window.onTreeBuilt = labels;
}

TEST_F(DrawTest, TheWindowStaysLiveDuringThePauses) {
  bool drawing = true;
  bool timerRanDuringDraw = false;
  bool postedRanDuringDraw = false;
  QTimer::singleShot(30, [&] { timerRanDuringDraw = drawing; });
  ws_->pump().post([&] { postedRanDuringDraw = drawing; });
  Workstation::DrawResult result;
  EXPECT_EQ(ws_->drawJson(document_, kTwoPads, 80, result), 0) << result.message;
  drawing = false;
  EXPECT_TRUE(timerRanDuringDraw);
  EXPECT_TRUE(postedRanDuringDraw);
}

TEST_F(DrawTest, ANestedDrawDuringAPauseIsRefused) {
  Workstation::DrawResult nested;
  int nestedStatus = -1;
  QTimer::singleShot(20,
                     [&] { nestedStatus = ws_->drawJson(ws_->newPart(), kTwoPads, 0, nested); });
  Workstation::DrawResult result;
  EXPECT_EQ(ws_->drawJson(document_, kTwoPads, 60, result), 0) << result.message;
  EXPECT_EQ(nestedStatus, 2);
  EXPECT_EQ(nested.errorCode, 100);
  EXPECT_EQ(nested.message, "MardelImport_DrawJson reentrant calls are not supported.");
}

TEST_F(DrawTest, QuittingDuringAPauseCancelsTheDrawWithCode500) {
  QTimer::singleShot(30, [&] { ws_->mainWindowWidget().close(); });
  Workstation::DrawResult result;
  EXPECT_EQ(ws_->drawJson(document_, kTwoPads, 100, result), 2);
  EXPECT_EQ(result.errorCode, 500);
  EXPECT_EQ(result.message, "CATIA host is exiting; Part import cancelled.");
  EXPECT_LT(result.createdCount, 4u);
  // The quit was posted again and reaches the application's own loop.
  EXPECT_FALSE(ws_->pump().quitReached());
  QApplication::processEvents();
  EXPECT_TRUE(ws_->pump().quitReached());
  EXPECT_EQ(ws_->pump().exitCode(), 0);
}

// Counts the colours of the 3D view's region and how many pixels have the body's hue.
struct ViewPixels {
  size_t distinct = 0;
  size_t bodyHue = 0;
};

ViewPixels Measure(const QImage& image, const QRect& region, const QColor& body) {
  ViewPixels out;
  std::set<QRgb> colours;
  const double rb = double(body.red()) / body.blue(), gb = double(body.green()) / body.blue();
  for (int y = region.top(); y <= region.bottom(); ++y) {
    for (int x = region.left(); x <= region.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      colours.insert(c.rgb());
      if (c.blue() < 60) continue;
      const double r = double(c.red()) / c.blue(), g = double(c.green()) / c.blue();
      if (std::abs(r - rb) < 0.12 && std::abs(g - gb) < 0.12) ++out.bodyHue;
    }
  }
  out.distinct = colours.size();
  return out;
}

// Pixels as dark as the edge lines drawn over the shading (no shaded face is that dark).
size_t DarkPixels(const QImage& image, const QRect& region) {
  size_t dark = 0;
  for (int y = region.top(); y <= region.bottom(); ++y) {
    for (int x = region.left(); x <= region.right(); ++x)
      dark += image.pixelColor(x, y).value() < 70;
  }
  return dark;
}

TEST_F(DrawTest, TheFlangedBracketShowsInTheWindow) {
  Workstation::DrawResult result;
  ASSERT_EQ(ws_->drawJson(document_, ReadFile(EXAMPLES_DIR "/flanged_bracket.json"), 5, result), 0)
      << result.message;
  view_->repaint();
  QApplication::processEvents();
  const QImage window = ws_->mainWindowWidget().grab().toImage();
  ASSERT_FALSE(window.isNull());
  window.save(ARTIFACT_DIR "/workstation_flanged_bracket.png");

  const QRect region(view_->mapTo(&ws_->mainWindowWidget(), QPoint(0, 0)), view_->size());
  // The bracket's base body is steel blue (70, 130, 180).
  const ViewPixels pixels = Measure(window, region, QColor(70, 130, 180));
  EXPECT_GT(pixels.distinct, 50u);
  EXPECT_GT(pixels.bodyHue, size_t(region.width()) * region.height() / 50);

  // One colour rule with the STEP and glTF files: the base flange's steel blue on the faces
  // it made, the body's own warm grey on the upright's top (z = 70, y from 0 to 10), and a
  // dark line on the edge between the upright's top and its front (y = 0).
  auto at = [&](double x, double y, double z) {
    return window.pixelColor(view_->mapTo(&ws_->mainWindowWidget(), view_->pixelOf(x, y, z)));
  };
  const QColor baseTop = at(110, 45, 10), uprightTop = at(60, 5, 70);
  EXPECT_GT(baseTop.blue(), baseTop.red() + 60) << baseTop.name().toStdString();
  EXPECT_GT(uprightTop.red(), uprightTop.blue()) << uprightTop.name().toStdString();
  EXPECT_GT(uprightTop.red(), 100) << uprightTop.name().toStdString();
  int darkNearEdge = 0;
  const QPoint edge = view_->mapTo(&ws_->mainWindowWidget(), view_->pixelOf(60, 0, 70));
  for (int dy = -1; dy <= 1; ++dy)
    darkNearEdge += window.pixelColor(edge.x(), edge.y() + dy).value() < 70;
  EXPECT_GE(darkNearEdge, 1);
  EXPECT_GT(DarkPixels(window, region), size_t(1500));

  // The tree shows the Part with its bodies and features; none failed.
  QTreeWidget* tree = ws_->mainWindowWidget().tree();
  EXPECT_FALSE(tree->findItems("Part1", Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
  EXPECT_TRUE(tree->findItems("(failed)", Qt::MatchContains | Qt::MatchRecursive).isEmpty());
  EXPECT_GE(tree->findItems("Sketch", Qt::MatchExactly | Qt::MatchRecursive, 1).size(), 9);

  // What the File menu writes opens elsewhere.
  std::string error;
  for (const char* format : {"STEP", "glTF", "STL"}) {
    const std::string path = std::string(ARTIFACT_DIR "/bracket.") + format;
    EXPECT_TRUE(ws_->exportDocument(document_, format, path, error)) << format << ": " << error;
    EXPECT_GT(ReadFile(path).size(), 1000u) << format;
  }
  EXPECT_NE(ReadFile(ARTIFACT_DIR "/bracket.glTF").find("\"meshes\""), std::string::npos);
}

}  // namespace
}  // namespace workstation::testing
