// A workstation with the add-in's panel open on the front-end console page, for the tests
// that drive the page in the real browser engine.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QUrl>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

#include "panel/web_panel_window.h"
#include "vantrel/addin_exports.h"
#include "vantrel/vantrel_cmd.h"
#include "workstation_fixture.h"

namespace workstation::testing {

inline QString ConsoleUrl() {
  return QUrl::fromLocalFile(CONSOLE_DIR "/index.html").toString();
}

class ConsoleTest : public WorkstationTest {
 protected:
  void SetUp() override {
    WorkstationTest::SetUp();
    panel::InstallWebPanel();
    vantrel::SetFrontendLaunchOverride(ConsoleUrl().toStdString());
    Workstation& ws = MakeWorkstation(false);
    document_ = ws.newPart();
    ws.mainWindowWidget().resize(1500, 900);
    ShowWindow();
    ws.adoptCommand(fctCreateVantrelCmd());
    cmd_ = static_cast<vantrel::VantrelCmd*>(ws.commands().front());
    ASSERT_NE(cmd_->panelWindow(), nullptr);
    ASSERT_TRUE(cmd_->panelWindow()->IsReady()) << cmd_->panelWindow()->LastError();
    window_ = static_cast<panel::WebPanelWindow*>(cmd_->panelWindow());
    ASSERT_TRUE(WaitFor([&] {
      return Js("window.tolvaneConsole && tolvaneConsole.connected") == true;
    })) << "the console did not load: "
        << window_->LastError();
  }
  void TearDown() override {
    vantrel::SetPanelWindowFactory(nullptr);
    WorkstationTest::TearDown();
  }

  // Runs script in the page and waits for its value.
  QVariant Js(const QString& script) {
    QVariant value;
    bool done = false;
    window_->view()->page()->runJavaScript(script, [&](const QVariant& v) {
      value = v;
      done = true;
    });
    for (QElapsedTimer t; !done;) {
      if (!t.isValid()) t.start();
      if (t.elapsed() > 10000) break;
      QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return value;
  }
  template <class F>
  bool WaitFor(F condition, int ms = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
      if (condition()) return true;
      QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return condition();
  }
  void Wait(int ms) {
    WaitFor([] { return false; }, ms);
  }

  std::shared_ptr<host::Document> document_;
  vantrel::VantrelCmd* cmd_ = nullptr;
  panel::WebPanelWindow* window_ = nullptr;
};

}  // namespace workstation::testing
