// A pick in the workstation's 3D view reaches the console page in the panel as its own
// "host:selection" message, with the descriptor a later item would name it by.
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <cmath>

#include "console_fixture.h"
#include "occt_host/kernel/inspect.h"
#include "panel/web_panel_window.h"
#include "vantrel/addin_exports.h"
#include "vantrel/vantrel_cmd.h"
#include "workstation/occt_view.h"

namespace workstation::testing {
namespace {

// A 40 x 20 x 10 block.
const char kBlock[] = R"({"mode":"part","flatNode":[
 {"type":"sketch","id":"s1","name":"Block sketch","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"geometries":[
  {"type":"line","x1":0,"y1":0,"x2":40,"y2":0},{"type":"line","x1":40,"y1":0,"x2":40,"y2":20},
  {"type":"line","x1":40,"y1":20,"x2":0,"y2":20},{"type":"line","x1":0,"y1":20,"x2":0,"y2":0}]},
 {"type":"extrude","id":"p1","name":"Block","sketchId":"s1","n1Height":10}]})";

class PanelSelectionTest : public ConsoleTest {
 protected:
  QJsonObject Selection() {
    return QJsonDocument::fromJson(
               Js("JSON.stringify(tolvaneConsole.selection())").toString().toUtf8())
        .object();
  }
};

TEST_F(PanelSelectionTest, APickedEdgeReachesTheConsoleWithItsDescriptor) {
  // The console sends the block; the add-in draws it into the workstation's Part.
  // The replies of the protocol alone; the report has a test of its own.
  Js("document.getElementById('askReport').checked = false");
  const QString json = QString::fromUtf8(kBlock);
  Js(QString("tolvaneConsole.sendSingle(%1, 'json')")
         .arg(QString::fromUtf8(QJsonDocument(QJsonArray{json}).toJson(QJsonDocument::Compact))
                  .mid(1)
                  .chopped(1)));
  ASSERT_TRUE(WaitFor([&] { return std::abs(occt_host::partVolume(document_) - 8000) < 1e-6; }));
  OcctView* view = ws_->viewOf(document_);
  ASSERT_NE(view, nullptr);
  view->fitAll();
  view->repaint();
  QApplication::processEvents();

  // The block's top front edge, from (0, 0, 10) to (40, 0, 10).
  QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, view->pixelOf(20, 0, 10));
  ASSERT_NE(view->selection(), nullptr);
  ASSERT_TRUE(WaitFor([&] { return !Selection().isEmpty(); }));
  const QJsonObject picked = Selection();
  EXPECT_EQ(picked["summary"].toString(), "Edge of Block: line, 40 mm");
  const QJsonObject descriptor = picked["descriptor"].toObject();
  EXPECT_EQ(descriptor["featureId"].toString(), "p1");
  EXPECT_EQ(descriptor["topoType"].toString(), "edge");
  EXPECT_EQ(descriptor["type"].toString(), "line");
  EXPECT_EQ(Js("document.getElementById('selectionSummary').textContent").toString(),
            "Edge of Block: line, 40 mm");
  // The selection is no reply of the protocol: the console's replies are the transfer's.
  EXPECT_EQ(Js("tolvaneConsole.replies().length").toInt(), 1);
  view->repaint();
  QApplication::processEvents(QEventLoop::AllEvents, 300);
  ws_->mainWindowWidget().grab().save(ARTIFACT_DIR "/workstation_console_selection.png");
}

}  // namespace
}  // namespace workstation::testing
