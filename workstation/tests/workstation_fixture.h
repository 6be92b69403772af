// A workstation per test with the add-in's log in a temporary folder, read back by message.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>

#include <fstream>
#include <sstream>

#include <memory>
#include <string>
#include <vector>

#include "desktop/core_drawing.h"
#include "log_test_support.h"
#include "platform/debug_output.h"
#include "platform/environment.h"
#include "vantrel/diagnostic_log.h"
#include "vantrel/runtime_config.h"
#include "vantrel/vantrel_addin.h"
#include "workstation/occt_view.h"
#include "workstation/workstation.h"

namespace workstation::testing {

struct LogEntry {
  std::string level;
  std::string component;
  std::string message;
};

class WorkstationTest : public ::testing::Test {
 public:
  void SetUp() override {
    platform::SetDebugOutputEnabled(false);
    vantrel::DiagnosticLog::Instance().ResetForTesting();
    vantrel::DiagnosticLog::SetClockForTesting(
        [] { return vantrel::testing::FixedTime(2026, 3, 4, 5, 6, 7, 89); });
    dir_ = vantrel::testing::MakeTempDir();
    for (const char* name : kVariables) platform::UnsetEnv(name);
    platform::SetEnv("XDG_STATE_HOME", dir_);
    vantrel::SetFrontendLaunchOverride(std::nullopt);
    vantrel::VantrelAddin::ResetIconForTesting();
  }
  void TearDown() override {
    drawing_.reset();
    ws_.reset();
    for (const char* name : kVariables) platform::UnsetEnv(name);
    platform::UnsetEnv("XDG_STATE_HOME");
    vantrel::SetFrontendLaunchOverride(std::nullopt);
    vantrel::DiagnosticLog::SetClockForTesting(nullptr);
    vantrel::DiagnosticLog::Instance().ResetForTesting();
    vantrel::testing::RemoveTree(dir_);
    platform::SetDebugOutputEnabled(true);
  }

  Workstation& MakeWorkstation(bool manualTimers) {
    drawing_.reset();
    ws_ = std::make_unique<Workstation>(Workstation::Options{manualTimers});
    // The program links the session to the core the same way.
    drawing_ = std::make_unique<desktop::CoreDrawing>(*ws_);
    return *ws_;
  }
  // Shows the main window, so that its dialogs and frames get their windows.
  void ShowWindow() {
    ws_->mainWindowWidget().show();
    QApplication::processEvents();
  }

  std::vector<LogEntry> Log() const {
    std::vector<LogEntry> entries;
    for (const std::string& line :
         vantrel::testing::ReadLines(dir_ + "/tolvane/debug/2026-03-04.log")) {
      const std::string masked = vantrel::testing::MaskLine(line);
      LogEntry entry;
      const size_t level = masked.find("level=");
      const size_t component = masked.find(" component=");
      const size_t pid = masked.find(" pid=");
      const size_t message = masked.find(" message=");
      if (level == std::string::npos || message == std::string::npos) continue;
      entry.level = masked.substr(level + 6, component - level - 6);
      entry.component = masked.substr(component + 11, pid - component - 11);
      entry.message = masked.substr(message + 9);
      entries.push_back(entry);
    }
    return entries;
  }
  // The messages of one component, in order.
  std::vector<std::string> Messages(const std::string& component) const {
    std::vector<std::string> out;
    for (const LogEntry& e : Log()) {
      if (e.component == component) out.push_back(e.message);
    }
    return out;
  }
  int Count(const std::string& message) const {
    int n = 0;
    for (const LogEntry& e : Log()) n += e.message == message ? 1 : 0;
    return n;
  }

  static constexpr const char* kVariables[] = {
      "TOLVANE_REGISTRY_FILE", "TOLVANE_DEBUG_LOG_PATH",      "TOLVANE_WEBVIEW_URL",
      "TOLVANE_DRAW_DELAY",    "TOLVANE_DRAW_DELAY_OVERRIDE", "TOLVANE_PANEL_WIDTH",
      "TOLVANE_PANEL_HEIGHT",  "TOLVANE_ICON_NAME",           "TOLVANE_AUTO_OPEN_PANEL"};
  std::string dir_;
  std::unique_ptr<Workstation> ws_;
  std::unique_ptr<desktop::CoreDrawing> drawing_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A shown workstation with one Part whose 3D view has painted.
class DrawTest : public WorkstationTest {
 protected:
  void SetUp() override {
    WorkstationTest::SetUp();
    Workstation& ws = MakeWorkstation(false);
    document_ = ws.newPart();
    ShowWindow();
    view_ = ws.viewOf(document_);
    ASSERT_NE(view_, nullptr);
    // Let the view get its GL context before drawing.
    for (int i = 0; i < 20 && view_->frames() == 0; ++i) {
      QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    ASSERT_GT(view_->frames(), 0) << view_->failure().toStdString();
  }

  std::shared_ptr<host::Document> document_;
  OcctView* view_ = nullptr;
};

}  // namespace workstation::testing
