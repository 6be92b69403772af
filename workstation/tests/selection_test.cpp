// Picking in the 3D view: a click on a known pixel of a known face or edge selects it, the
// status bar names it, and the descriptor handed on, put into a shell or a fillet item,
// names exactly that face or edge when the part is drawn again.
#include <BRepClass3d_SolidClassifier.hxx>
#include <TopoDS.hxx>

#include <QStatusBar>
#include <QTest>

#include <cmath>

#include "host/selection.h"
#include "occt_host/kernel/inspect.h"
#include "occt_host/model/body.h"
#include "occt_host/model/container.h"
#include "occt_host/model/part.h"
#include "occt_host/session/document.h"
#include "workstation_fixture.h"

namespace workstation::testing {
namespace {

// The 40 x 30 x 20 block (24,000 mm^3).
const std::string kBlockItems = R"({"type":"sketch","id":"s_block","name":"Block sketch",
  "matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"geometries":[
  {"type":"line","x1":0,"y1":0,"x2":40,"y2":0},{"type":"line","x1":40,"y1":0,"x2":40,"y2":30},
  {"type":"line","x1":40,"y1":30,"x2":0,"y2":30},{"type":"line","x1":0,"y1":30,"x2":0,"y2":0}]},
 {"type":"extrude","id":"block","name":"Block","sketchId":"s_block","n1Height":20})";

std::string Part(const std::string& items) {
  return R"({"mode":"part","flatNode":[)" + items + "]}";
}

// The part's solid (the main body's).
TopoDS_Shape SolidOf(const std::shared_ptr<host::Document>& document) {
  auto ours = std::dynamic_pointer_cast<occt_host::Document>(document);
  for (const auto& node : ours->container()->partNode()->childNodes()) {
    if (auto body = std::dynamic_pointer_cast<occt_host::Body>(node)) return body->solid();
  }
  return TopoDS_Shape();
}

bool Inside(const TopoDS_Shape& solid, double x, double y, double z) {
  BRepClass3d_SolidClassifier classifier(solid, gp_Pnt(x, y, z), 1e-7);
  return classifier.State() == TopAbs_IN;
}

class SelectionTest : public DrawTest {
 protected:
  void SetUp() override {
    DrawTest::SetUp();
    if (HasFatalFailure()) return;
    Workstation::DrawResult result;
    ASSERT_EQ(ws_->drawJson(document_, Part(kBlockItems), 0, result), 0) << result.message;
    view_->repaint();
    QApplication::processEvents();
  }
  // Clicks the pixel where the model point shows.
  void clickAt(double x, double y, double z) {
    QTest::mouseClick(view_, Qt::LeftButton, Qt::NoModifier, view_->pixelOf(x, y, z));
    QApplication::processEvents();
  }
  // The descriptor the panel's page receives for the current selection.
  std::string descriptor() {
    const std::string& message = host::selectionHub().last();
    const std::size_t at = message.find("\"descriptor\":");
    if (at == std::string::npos) return {};
    std::string rest = message.substr(at + 13);
    return rest.substr(0, rest.size() - 2);  // the selection's and the message's braces
  }
  std::shared_ptr<host::Document> drawAgain(const std::string& items,
                                            Workstation::DrawResult& result) {
    std::shared_ptr<host::Document> again = ws_->newPart();
    ws_->drawJson(again, Part(items), 0, result);
    return again;
  }
};

TEST_F(SelectionTest, AClickOnTheTopFaceSelectsItAndItsDescriptorOpensThatFaceOfAShell) {
  clickAt(20, 15, 20);
  ASSERT_NE(view_->selection(), nullptr);
  const TopoDS_Shape& face = view_->selection()->shape;
  ASSERT_EQ(face.ShapeType(), TopAbs_FACE);
  EXPECT_EQ(ws_->mainWindowWidget().statusBar()->currentMessage(),
            "Face of Block: plane, 1200 mm2");  // 40 x 30
  const std::string d = descriptor();
  EXPECT_NE(d.find("\"featureId\":\"block\",\"topoType\":\"face\",\"type\":\"plane\""),
            std::string::npos)
      << d;

  // Open at the picked top, 2 thick: 24000 - 36 * 26 * 18 = 7152; the lid is gone, the
  // floor (z from 0 to 2) stays.
  Workstation::DrawResult result;
  auto again = drawAgain(
      kBlockItems + R"(,{"type":"shell","id":"sh","thickness":2,"shellFaces":[)" + d + "]}",
      result);
  ASSERT_EQ(result.status, 0) << result.message;
  EXPECT_NEAR(occt_host::partVolume(again), 7152, 1e-6 * 7152);
  EXPECT_FALSE(Inside(SolidOf(again), 20, 15, 19));
  EXPECT_TRUE(Inside(SolidOf(again), 20, 15, 1));
}

TEST_F(SelectionTest, AClickOnTheTopFrontEdgeSelectsItAndItsDescriptorRoundsThatEdge) {
  clickAt(20, 0, 20);
  ASSERT_NE(view_->selection(), nullptr);
  ASSERT_EQ(view_->selection()->shape.ShapeType(), TopAbs_EDGE);
  EXPECT_EQ(ws_->mainWindowWidget().statusBar()->currentMessage(), "Edge of Block: line, 40 mm");
  const std::string d = descriptor();
  EXPECT_NE(d.find("\"type\":\"line\""), std::string::npos) << d;
  view_->repaint();
  ws_->mainWindowWidget().grab().save(ARTIFACT_DIR "/workstation_selected_edge.png");

  // A round of 2 on that edge takes (1 - pi/4) * 2^2 * 40 = 34.336 mm^3; the corner point
  // 0.2 mm in from the edge's two faces is cut away, the same point at the back edge stays.
  Workstation::DrawResult result;
  auto again = drawAgain(
      kBlockItems + R"(,{"type":"fillet","id":"f","radius":2,"filletTopos":[)" + d + "]}", result);
  ASSERT_EQ(result.status, 0) << result.message;
  const double pi = std::acos(-1.0);
  EXPECT_NEAR(occt_host::partVolume(again), 24000 - (1 - pi / 4) * 4 * 40, 1e-6 * 24000);
  EXPECT_FALSE(Inside(SolidOf(again), 20, 0.2, 19.8));
  EXPECT_TRUE(Inside(SolidOf(again), 20, 29.8, 19.8));
}

TEST_F(SelectionTest, ASecondClickEscapeOrEmptySpaceClearTheSelection) {
  clickAt(20, 15, 20);
  ASSERT_NE(view_->selection(), nullptr);
  clickAt(20, 15, 20);
  EXPECT_EQ(view_->selection(), nullptr);
  EXPECT_EQ(host::selectionHub().last(), R"({"type":"host:selection","selection":null})");
  clickAt(20, 15, 20);
  ASSERT_NE(view_->selection(), nullptr);
  QTest::keyClick(view_, Qt::Key_Escape);
  EXPECT_EQ(view_->selection(), nullptr);
  clickAt(20, 15, 20);
  ASSERT_NE(view_->selection(), nullptr);
  QTest::mouseClick(view_, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  EXPECT_EQ(view_->selection(), nullptr);
}

}  // namespace
}  // namespace workstation::testing
