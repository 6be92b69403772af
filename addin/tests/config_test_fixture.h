#pragma once

#include <gtest/gtest.h>

#include "log_test_support.h"
#include "platform/debug_output.h"
#include "platform/environment.h"
#include "vantrel/diagnostic_log.h"
#include "vantrel/runtime_config.h"

namespace vantrel::testing {

// Isolates one configuration load: no TOLVANE_ variables, the registry file of the test, a
// module path of the test's choosing and a log that lands in a temporary XDG state folder.
class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetDebugOutputEnabled(false);
    DiagnosticLog::Instance().ResetForTesting();
    DiagnosticLog::SetClockForTesting([] { return FixedTime(2026, 3, 4, 5, 6, 7, 89); });
    dir_ = MakeTempDir();
    for (const char* name : kVariables) platform::UnsetEnv(name);
    platform::SetEnv("XDG_STATE_HOME", dir_);
    ResetRegistrySelectionForTesting();
    SetModuleFilePathForTesting(std::optional<std::string>("C:\\Apps\\X\\Sub\\bin\\Vantrel.dll"));
  }
  void TearDown() override {
    for (const char* name : kVariables) platform::UnsetEnv(name);
    platform::UnsetEnv("XDG_STATE_HOME");
    SetModuleFilePathForTesting(std::nullopt);
    ResetRegistrySelectionForTesting();
    DiagnosticLog::SetClockForTesting(nullptr);
    DiagnosticLog::Instance().ResetForTesting();
    RemoveTree(dir_);
    platform::SetDebugOutputEnabled(true);
  }
  void UseRegistry(const std::string& dataFile) {
    platform::SetEnv("TOLVANE_REGISTRY_FILE", std::string(ADDIN_TEST_DATA) + "/" + dataFile);
  }
  std::string LogFile() const { return dir_ + "/tolvane/debug/2026-03-04.log"; }
  // The messages of the log file, in order.
  std::vector<std::string> Messages() const {
    std::vector<std::string> messages;
    for (const std::string& line : ReadLines(LogFile())) {
      std::string masked = MaskLine(line);
      const std::string head = "TIME level=INFO component=runtime.config pid=P tid=T message=";
      messages.push_back(masked.rfind(head, 0) == 0 ? masked.substr(head.size()) : masked);
    }
    return messages;
  }

  static constexpr const char* kVariables[] = {
      "TOLVANE_REGISTRY_FILE", "TOLVANE_DEBUG_LOG_PATH",      "TOLVANE_WEBVIEW_URL",
      "TOLVANE_DRAW_DELAY",    "TOLVANE_DRAW_DELAY_OVERRIDE", "TOLVANE_PANEL_WIDTH",
      "TOLVANE_PANEL_HEIGHT",  "TOLVANE_ICON_NAME",           "TOLVANE_AUTO_OPEN_PANEL"};
  std::string dir_;
};

}  // namespace vantrel::testing
