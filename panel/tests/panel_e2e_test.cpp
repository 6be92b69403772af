// The panel in the real browser engine, end to end: the console page sends a part as hashed
// chunks with one damaged, the add-in asks for it again, completes the transfer and draws
// the part into the workstation; pages of another origin, subframes and navigations away
// never reach the add-in.
#include <QClipboard>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <cmath>
#include <string>

#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>

#include "console_fixture.h"
#include "occt_host/exchange/step_documents.h"
#include "occt_host/kernel/inspect.h"
#include "occt_host/model/container.h"
#include "occt_host/model/part.h"
#include "occt_host/session/document.h"
#include "panel/web_panel_window.h"
#include "step_samples.h"
#include "vantrel/addin_exports.h"
#include "vantrel/vantrel_cmd.h"

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

// The two pads and a third extrude of the first sketch by 0, which fails.
std::string OneFailing() {
  std::string json = kTwoPads;
  json.insert(json.rfind("]}"), R"(,
 {"type":"extrude","id":"z","sketchId":"s1","n1Height":0})");
  return json;
}

// A text as the argument of a script call: a JSON string literal.
QString ScriptString(const char* text) {
  return QString::fromUtf8(
             QJsonDocument(QJsonArray{QString::fromUtf8(text)}).toJson(QJsonDocument::Compact))
      .mid(1)
      .chopped(1);
}

class PanelTest : public ConsoleTest {
 protected:
  QJsonArray Replies() {
    return QJsonDocument::fromJson(
               Js("JSON.stringify(tolvaneConsole.replies())").toString().toUtf8())
        .array();
  }
};

TEST_F(PanelTest, HashedChunksWithOneDamagedAreRetriedCompletedAndDrawn) {
  // The replies of the protocol alone; the report has a test of its own.
  Js("document.getElementById('askReport').checked = false");
  const QString json = QString::fromUtf8(kTwoPads);
  Js(QString("tolvaneConsole.sendLarge(%1, 'json', 256, 1)")
         .arg(QString::fromUtf8(QJsonDocument(QJsonArray{json}).toJson(QJsonDocument::Compact))
                  .mid(1)
                  .chopped(1)));
  ASSERT_TRUE(WaitFor([&] {
    for (const auto& reply : Replies())
      if (reply.toObject()["cmd"] == "transferLargeEcho") return true;
    return false;
  })) << QJsonDocument(Replies()).toJson().toStdString();
  // Chunk 1 is asked for when it arrives damaged and again at the end; the start, the good
  // chunks and the chunk sent again are accepted without a reply; the end completes.
  QStringList commands;
  for (const auto& reply : Replies()) commands << reply.toObject()["cmd"].toString();
  EXPECT_EQ(commands,
            QStringList({"transferLargeRetry", "transferLargeRetry", "transferLargeEcho"}));
  EXPECT_NE(Replies()[0].toObject()["data"].toString().indexOf("\"data\":[1]"), -1);
  bool retryLogged = false, completedLogged = false;
  for (const LogEntry& e : Log()) {
    retryLogged |= e.level == "WARN" && e.component == "webview.protocol" &&
                   e.message.rfind("transfer_retry_requested cmd=", 0) == 0;
    completedLogged |= e.component == "webview" &&
                       e.message.rfind("transfer_completed cmd=transferLargeEnd mode=json", 0) == 0;
  }
  EXPECT_TRUE(retryLogged);
  EXPECT_TRUE(completedLogged);
  // 40*20*10 + 10*10*30 = 8000 + 3000 = 11000 mm^3, drawn into the workstation's Part.
  EXPECT_NEAR(occt_host::partVolume(document_), 11000.0, 1e-6);

  // The workstation shows what the panel drew at its next look at the document.
  Wait(800);
  const QImage shot = ws_->mainWindowWidget().grab().toImage();
  shot.save(ARTIFACT_DIR "/workstation_console_panel.png");
}

TEST_F(PanelTest, AStepFileSentAsBase64IsInsertedIntoThePart) {
  const std::string path = ARTIFACT_DIR "/inserted_box.step";
  ASSERT_TRUE(occt_host::testing::writeBoxStep(path, 20, 10, 5, "Box", 200, 40, 40));
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString base64 = QString::fromLatin1(file.readAll().toBase64());
  Js(QString("tolvaneConsole.sendLarge('%1', 'base64', 4096, -1)").arg(base64));
  ASSERT_TRUE(WaitFor([&] {
    for (const auto& reply : Replies())
      if (reply.toObject()["cmd"] == "transferLargeEcho") return true;
    return false;
  })) << QJsonDocument(Replies()).toJson().toStdString();
  // The file's one solid lands in the Part as a body of its own: 20 * 10 * 5 = 1000 mm^3.
  auto ours = std::dynamic_pointer_cast<occt_host::Document>(document_);
  ASSERT_TRUE(ours && ours->container());
  double total = 0;
  for (const auto& solid : occt_host::partSolids(*ours->container()->partNode())) {
    GProp_GProps props;
    BRepGProp::VolumeProperties(solid.shape, props);
    total += props.Mass();
  }
  EXPECT_NEAR(total, 1000.0, 1e-6);
}

TEST_F(PanelTest, ACharacterAcrossAChunkEdgeArrivesWhole) {
  // Take what the panel would draw: the assembled text itself.
  struct Capture : vantrel::JsonPayloadProcessor {
    void DrawJson(const std::string& json) override { drawn.push_back(json); }
    std::vector<std::string> drawn;
  } capture;
  window_->SetDrawTarget(&capture);
  // "ab" then a character outside the basic plane (two UTF-16 code units, four UTF-8 bytes)
  // across the edge of 9-unit chunks, and one more after it.
  Js(R"(tolvaneConsole.sendLarge('{"n":"ab\u{1F600}c\u{1F680}"}', 'json', 9, -1))");
  ASSERT_TRUE(WaitFor([&] { return !capture.drawn.empty(); }))
      << QJsonDocument(Replies()).toJson().toStdString();
  window_->SetDrawTarget(nullptr);
  EXPECT_EQ(capture.drawn[0],
            "{\"n\":\"ab\xF0\x9F\x98\x80"
            "c\xF0\x9F\x9A\x80\"}");
}

TEST_F(PanelTest, TheDemoSchemaAnswerFollowsTheTransferReply) {
  Js(R"(tolvaneConsole.sendSingle('{"schemaVersion":"1","units":"mm","primitives":[)"
     R"({"id":"b1","type":"box","origin":[0,0,0],"size":[10,10,10]}]}', 'text'))");
  ASSERT_TRUE(WaitFor([&] { return Replies().size() >= 2; }));
  const QJsonArray replies = Replies();
  EXPECT_EQ(replies[0].toObject()["type"], "transfer:received");
  EXPECT_EQ(replies[1].toObject()["type"], "plugin:response");
  EXPECT_GE(Count("Win32WebView2PanelWindow::SchemaDispatchResponse"), 1);
}

TEST_F(PanelTest, EveryReplyToHostilePayloadsReachesThePageAsJson) {
  struct Capture : vantrel::JsonPayloadProcessor {
    void DrawJson(const std::string& json) override { drawn.push_back(json); }
    std::vector<std::string> drawn;
  } capture;
  window_->SetDrawTarget(&capture);
  Js("document.getElementById('askReport').checked = false");
  // The page keeps what it sent; the bridge drops any reply that is not JSON, so a reply
  // that is not JSON is one missing from the list.
  Js(R"(
    window.hostile = {};
    var bytes = ''; for (var c = 0; c < 256; ++c) bytes += String.fromCharCode(c);
    hostile.truncated = '{"mode":"part","flatNode":[{"type":"sketch","id":"s1","geom';
    hostile.binary = bytes;
    hostile.binaryJson = '{"b":"' + bytes + '"}';
    // Text that is not valid Unicode: a body may carry escapes of lone surrogates, which
    // the add-in reads as U+FFFD (the page's own text arrives as UTF-8 already mended).
    hostile.name = 'n\u0001\ufffd"\\';
    hostile.nameEscaped = 'n\\u0001\\ud800\\"\\\\';
    hostile.type = 'q'.repeat(5000) + '\\udc80';
    var send = window.chrome.webview.postMessage;
    tolvaneConsole.sendSingle(hostile.truncated, 'json');
    tolvaneConsole.sendSingle(hostile.binary, 'text');
    tolvaneConsole.sendSingle(hostile.binaryJson, 'json');
    tolvaneConsole.sendSingle('a\ud800b\udc80', 'text');
    tolvaneConsole.sendSingle('{"schemaVersion":"1","units":"mm","primitives":[{"id":"b",' +
        '"type":"' + hostile.type + '","origin":{"x":0,"y":0,"z":0}}]}', 'text');
    send({cmd: 'transferLargeStart', data: '{"name":"' + hostile.nameEscaped + '","size":2}',
          mode: 'text'});
    send({cmd: 'transferLargeEnd', data: '{"name":"' + hostile.nameEscaped + '"}', mode: 'text'});
    send({cmd: 'transferLargeData', data: '{"name":"' + bytes, mode: 'text'});
  )");
  // Five single transfers, the schema answer after the last, a retry for the open transfer
  // and a failure for the broken body.
  ASSERT_TRUE(WaitFor([&] { return Replies().size() >= 8; }))
      << QJsonDocument(Replies()).toJson().toStdString();
  Wait(500);
  const QJsonArray replies = Replies();
  ASSERT_EQ(replies.size(), 8) << QJsonDocument(replies).toJson().toStdString();
  for (int i : {0, 1, 2, 3, 4}) EXPECT_EQ(replies[i].toObject()["type"], "transfer:received") << i;
  // Each echo is what the page sent: text as its own string, and what only looks like JSON
  // (the truncated part, raw control characters) as a string too.
  EXPECT_EQ(Js("tolvaneConsole.replies()[0].data.data === hostile.truncated"), true);
  EXPECT_EQ(Js("tolvaneConsole.replies()[1].data.data === hostile.binary"), true);
  EXPECT_EQ(Js("tolvaneConsole.replies()[2].data.data === hostile.binaryJson"), true);
  EXPECT_EQ(replies[5].toObject()["type"], "plugin:response");
  EXPECT_EQ(replies[5].toObject()["error"].toObject()["message"],
            "unsupported demo primitive type: " + QString(64, 'q') + "...");
  EXPECT_EQ(replies[6].toObject()["cmd"], "transferLargeRetry");
  // The name comes back as the add-in read it: the lone surrogate as U+FFFD.
  EXPECT_EQ(Js("JSON.parse(tolvaneConsole.replies()[6].data).name === hostile.name"), true);
  EXPECT_EQ(QJsonDocument::fromJson(replies[6].toObject()["data"].toString().toUtf8())
                .object()["data"]
                .toArray(),
            QJsonArray({0, 1}));
  EXPECT_EQ(replies[7].toObject()["type"], "transfer:error");
  EXPECT_EQ(replies[7].toObject()["message"], "transferLargeData requires name, index and data");
  // The json sends went on to the draw as they came.
  EXPECT_EQ(capture.drawn.size(), 2u);
  window_->SetDrawTarget(nullptr);
}

TEST_F(PanelTest, TheConsoleAsksForTheReportAndShowsIt) {
  Js(QString("tolvaneConsole.sendLarge(%1, 'json', 256, -1)")
         .arg(ScriptString(OneFailing().c_str())));
  auto isReport = [](const QJsonValue& v) {
    return v.toObject()["type"] == "plugin:response" && v.toObject()["id"] == "draw-report";
  };
  ASSERT_TRUE(WaitFor([&] {
    const QJsonArray replies = Replies();
    return std::any_of(replies.begin(), replies.end(), isReport);
  })) << QJsonDocument(Replies()).toJson().toStdString();
  // The transfer's own echo first, then the report: the five items, the last one failed.
  const QJsonArray replies = Replies();
  ASSERT_EQ(replies.size(), 2) << QJsonDocument(replies).toJson().toStdString();
  EXPECT_EQ(replies[0].toObject()["cmd"], "transferLargeEcho");
  const QJsonObject message = replies[1].toObject();
  ASSERT_TRUE(message["ok"].toBool()) << QJsonDocument(message).toJson().toStdString();
  const QJsonArray items = message["result"].toObject()["items"].toArray();
  ASSERT_EQ(items.size(), 5);
  EXPECT_EQ(items[4].toObject()["id"], "z");
  EXPECT_EQ(items[4].toObject()["outcome"], "failed");
  EXPECT_EQ(Count("Win32WebView2PanelWindow::DrawReportResponse"), 1);
  // 40*20*10 + 10*10*30 = 11000 mm^3: the failed extrude adds nothing.
  EXPECT_NEAR(occt_host::partVolume(document_), 11000.0, 1e-6);
  // The workstation's own report of the draw still came, for its tree.
  EXPECT_EQ(ws_->progress().itemsOf(document_).size(), 5u);

  // One row per item in the page, the failed one coloured and saying why.
  EXPECT_EQ(Js("document.querySelectorAll('#reportRows tr.item').length").toInt(), 5);
  EXPECT_EQ(Js("Array.from(document.querySelectorAll('#reportRows tr.item td.id'))"
               ".map(function (c) { return c.textContent; }).join()")
                .toString(),
            "s1,p1,s2,p2,z");
  const QString failed = "document.querySelector('#reportRows tr.item[data-id=\"z\"]')";
  EXPECT_EQ(Js(failed + ".querySelector('td.outcome').className").toString(),
            "outcome outcome-failed");
  EXPECT_EQ(Js("getComputedStyle(" + failed + ".querySelector('td.outcome')).color").toString(),
            "rgb(176, 24, 24)");
  EXPECT_NE(Js(failed + ".querySelector('td.messages').textContent")
                .toString()
                .indexOf("the extrusion length (first plus second limit) is zero"),
            -1);
  EXPECT_EQ(Js("document.getElementById('reportSummary').textContent").toString(),
            QString::fromUtf8("5 items: 4 built, 1 failed \u2014 One or more features failed to "
                              "update."));

  // Each pad lists the faces and edges it owns; the page shows each under its item, and a
  // Copy puts that one descriptor's text on the clipboard.
  const QJsonArray p1Listed =
      message["result"].toObject()["items"].toArray()[1].toObject()["descriptors"].toArray();
  ASSERT_FALSE(p1Listed.isEmpty());
  EXPECT_EQ(p1Listed[0].toObject()["featureId"].toString(), "p1");
  const int listed =
      p1Listed.size() +
      message["result"].toObject()["items"].toArray()[3].toObject()["descriptors"].toArray().size();
  ASSERT_TRUE(WaitFor([&] {
    return Js("document.querySelectorAll('pre.descriptorJson').length").toInt() == listed;
  }));
  auto objectOf = [](const QString& text) {
    return QJsonDocument::fromJson(text.toUtf8()).object();
  };
  EXPECT_EQ(objectOf(Js("document.querySelector('pre.descriptorJson').textContent").toString()),
            p1Listed[0].toObject());
  QApplication::clipboard()->clear();
  // A real click, as a user gives it: the page may write the clipboard on a user's gesture.
  const QJsonObject at =
      QJsonDocument::fromJson(Js("(function () { var b = document.querySelector('button.copy');"
                                 "b.scrollIntoView({block: 'center'}); var r = "
                                 "b.getBoundingClientRect(); return JSON.stringify({x: r.left + "
                                 "r.width / 2, y: r.top + r.height / 2}); })()")
                                  .toString()
                                  .toUtf8())
          .object();
  Wait(200);
  QWidget* target = window_->view()->focusProxy() ? window_->view()->focusProxy() : window_->view();
  QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier,
                    QPoint(qRound(at["x"].toDouble()), qRound(at["y"].toDouble())));
  ASSERT_TRUE(WaitFor([&] { return Js("tolvaneConsole.copied().length").toInt() == 1; }));
  EXPECT_EQ(objectOf(Js("tolvaneConsole.copied()[0].text").toString()), p1Listed[0].toObject());
  EXPECT_EQ(Js("tolvaneConsole.copied()[0].ok"), true);
  EXPECT_TRUE(WaitFor([&] {
    return objectOf(QApplication::clipboard()->text()) == p1Listed[0].toObject();
  })) << QApplication::clipboard()->text().toStdString();

  Js("document.getElementById('reportSummary').scrollIntoView()");
  Wait(500);
  window_->view()->grab().save(ARTIFACT_DIR "/console_report.png");
}

TEST_F(PanelTest, APageOfAnotherOriginIsNotHeard) {
  window_->LoadForTesting(
      "<script>window.chrome.webview.postMessage({cmd:'transferSingle',data:'hi',mode:'text'});"
      "</script>",
      QUrl("https://example.test/"));
  ASSERT_TRUE(
      WaitFor([&] { return Count("web_message_dropped origin=https://example.test/") > 0; }));
  for (const LogEntry& e : Log()) {
    if (e.message.rfind("web_message_dropped", 0) == 0) {
      EXPECT_EQ(e.level, "WARN");
    }
    EXPECT_NE(e.message.rfind("transfer_completed", 0), 0u) << e.message;
  }
}

TEST_F(PanelTest, ASubframeCannotReachTheAddin) {
  // The console's own origin with a frame of another: neither its own object nor its
  // parent's is within its reach. The frame tells the page (by the DOM's own postMessage)
  // how each try ended, which shows it ran.
  window_->LoadForTesting(
      "<script>window.frameReport='';addEventListener('message',function(e){"
      "window.frameReport=String(e.data)})</script><iframe "
      "src=\"data:text/html,<script>var r=[];try{window.chrome.webview.postMessage({cmd:"
      "'transferSingle',data:'own',mode:'text'});r.push('own:sent')}catch(e){r.push('own:'"
      "+e.name)}try{parent.chrome.webview.postMessage({cmd:'transferSingle',data:'parent',"
      "mode:'text'});r.push('parent:sent')}catch(e){r.push('parent:'+e.name)}"
      "parent.postMessage(r.join(),'*')</script>\"></iframe>",
      QUrl(ConsoleUrl()));
  ASSERT_TRUE(WaitFor([&] { return !Js("window.frameReport").toString().isEmpty(); }))
      << "the frame did not run";
  EXPECT_EQ(Js("window.frameReport").toString().toStdString(),
            "own:TypeError,parent:SecurityError");
  // The page itself is heard: its message, sent after the frame's tries, completes, and
  // nothing else arrives in the time after it.
  auto completed = [&] {
    int n = 0;
    for (const LogEntry& e : Log()) n += e.message.rfind("transfer_completed", 0) == 0 ? 1 : 0;
    return n;
  };
  Js("window.chrome.webview.postMessage({cmd:'transferSingle',data:'page',mode:'text'})");
  ASSERT_TRUE(WaitFor([&] { return completed() > 0; }));
  Wait(1500);
  EXPECT_EQ(completed(), 1);
  for (const LogEntry& e : Log()) {
    EXPECT_NE(e.message.rfind("web_message_dropped", 0), 0u) << e.message;
  }
}

TEST_F(PanelTest, NavigationToAnotherOriginIsBlocked) {
  Js("location.href = 'https://other.test/elsewhere'");
  ASSERT_TRUE(
      WaitFor([&] { return Count("navigation_blocked url=https://other.test/elsewhere") > 0; }));
  EXPECT_EQ(window_->view()->page()->url().toString(), ConsoleUrl());
  EXPECT_EQ(Js("tolvaneConsole.connected"), true);
}

TEST_F(PanelTest, CloseTwiceLogsOnce) {
  cmd_->panelWindow()->Close();
  cmd_->panelWindow()->Close();
  EXPECT_EQ(Count("Win32WebView2PanelWindow::Close"), 1);
  EXPECT_FALSE(cmd_->panelWindow()->IsReady());
}

TEST_F(WorkstationTest, PanelWindowRefusesAnEmptyLocationAndReportsAFailedLoad) {
  MakeWorkstation(true);
  (void)vantrel::LoadRuntimeConfig();  // gives the log its folder
  panel::WebPanelWindow empty(0, 0, 0);
  EXPECT_FALSE(empty.Show(""));
  EXPECT_EQ(empty.LastError(), "frontend location is empty");
  EXPECT_FALSE(empty.IsReady());

  // A window of its own, titled with the brand, whose page cannot be loaded.
  const std::string missing = "file:///nonexistent/tolvane/index.html";
  panel::WebPanelWindow window(0, 300, 200);
  ASSERT_TRUE(window.Show(missing));
  EXPECT_TRUE(window.IsReady());
  EXPECT_EQ(window.view()->window()->windowTitle(), QString("BrontelAI"));
  QElapsedTimer timer;
  timer.start();
  while (window.LastError().empty() && timer.elapsed() < 20000)
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(window.LastError(), "QWebEngineView::load failed: " + missing + " did not load");
  window.Close();
  window.Close();
  EXPECT_EQ(Count("Win32WebView2PanelWindow::Close"), 1);
  EXPECT_EQ(Count("Win32WebView2PanelWindow::CreateStandaloneContainer"), 1);
}

}  // namespace
}  // namespace workstation::testing
