// The Windows panel window: it reports WebView2 missing as a system without the loader does,
// and what the page would post travels through the window's transfer protocol to the
// processor (Kestrun.dll from Fennick\bin\ beside this program) and to STEP insertion.
#include <gtest/gtest.h>

#include <fstream>

#include "null_environment.h"
#include "platform/debug_output.h"
#include "platform/temp_files.h"
#include "protocol_test_support.h"
#include "vantrel/diagnostic_log.h"
#include "win32/webview2_panel_window.h"

namespace {

using namespace vantrel;
using namespace vantrel::testing;

constexpr char kLoaderMissing[] =
    "WebView2Loader.dll was not found. Ensure it is packaged beside the CATIA plugin module or "
    "available on PATH.";

class Win32PanelWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetDebugOutputEnabled(false);
    DiagnosticLog::Instance().ResetForTesting();
    dir_ = *platform::CreateUniqueTempDirectory(*platform::TempPath(), "tolvane-panel-");
    SetLogFolder(dir_);
    host::setEnvironment(&environment_);
    InstallWin32PanelWindow();
  }
  void TearDown() override {
    SetPanelWindowFactory(nullptr);
    host::setEnvironment(nullptr);
    DiagnosticLog::Instance().ResetForTesting();
    platform::SetDebugOutputEnabled(true);
  }
  // "component message" of each line of today's log.
  std::vector<std::string> Lines() const {
    const platform::LocalTime t = platform::NowLocal();
    char name[32];
    std::snprintf(name, sizeof name, "\\%04u-%02u-%02u.log", t.year, t.month, t.day);
    std::ifstream in(dir_ + name, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const size_t component = line.find("component=");
      const size_t pid = line.find(" pid=");
      const size_t message = line.find(" message=");
      if (component == std::string::npos || pid == std::string::npos ||
          message == std::string::npos)
        continue;
      lines.push_back(line.substr(component + 10, pid - component - 10) + " " +
                      line.substr(message + 9));
    }
    return lines;
  }
  bool Logged(const std::string& line) const {
    for (const std::string& l : Lines()) {
      if (l == line) return true;
    }
    return false;
  }
  win32_test::NullEnvironment environment_;
  std::string dir_;
};

TEST_F(Win32PanelWindow, ShowFailsAsWithoutTheWebView2Loader) {
  std::unique_ptr<PanelWindow> window = CreatePanelWindow(0, 0, -3);
  auto* win32 = dynamic_cast<Win32WebView2PanelWindow*>(window.get());
  ASSERT_NE(win32, nullptr);
  EXPECT_EQ(win32->width(), 380u);
  EXPECT_EQ(win32->height(), 1040u);
  EXPECT_FALSE(window->Show(""));
  EXPECT_EQ(window->LastError(), "frontend location is empty");
  EXPECT_FALSE(window->Show("https://tolvane.vexmoor.com/panel/"));
  EXPECT_EQ(window->LastError(), kLoaderMissing);
  EXPECT_FALSE(window->IsReady());
  window->Close();
  EXPECT_TRUE(Logged("webview Win32WebView2PanelWindow::Show"));
  EXPECT_TRUE(Logged(std::string("webview ") + kLoaderMissing));
}

TEST_F(Win32PanelWindow, APartMessageIsDrawnThroughKestrun) {
  Win32WebView2PanelWindow window(0, 380, 1040);
  window.OnWebMessage(
      Packet("transferSingle", R"([{"type":"sketch","id":"s1","name":"S"}])", std::string("json")));
  EXPECT_TRUE(Logged("webview transfer_completed cmd=transferSingle mode=json name="));
  EXPECT_TRUE(
      Logged("transfer.processor TransferDataProcessor::ImportStatus status=2 "
             "resultStatus=2 errorCode=100 created=0"));
  EXPECT_TRUE(Logged("transfer.processor CATIDescendants not available for Part clearing."));
}

TEST_F(Win32PanelWindow, ALargeBase64TransferIsInsertedAsAStepFile) {
  Win32WebView2PanelWindow window(0, 380, 1040);
  window.OnWebMessage(Packet("transferLargeStart", StartBody("PART.STP", 2), "base64"));
  window.OnWebMessage(Packet("transferLargeData", DataBody("PART.STP", 0, "QUJD"), "base64"));
  window.OnWebMessage(Packet("transferLargeData", DataBody("PART.STP", 1, "REVG"), "base64"));
  window.OnWebMessage(Packet("transferLargeEnd", EndBody("PART.STP"), "base64"));
  EXPECT_TRUE(Logged("webview transfer_completed cmd=transferLargeEnd mode=base64 name=PART.STP"));
  EXPECT_TRUE(Logged("transfer.processor TransferDataProcessor::Base64StepFileReady"));
  EXPECT_TRUE(
      Logged("transfer.processor Connect to CATIA.Application failed "
             "(HRESULT=0x800401f3)"));
}

TEST_F(Win32PanelWindow, ABrokenPacketIsTheProtocolsErrorLine) {
  Win32WebView2PanelWindow window(0, 380, 1040);
  window.OnWebMessage(R"({"cmd":"transferEverything","data":"x"})");
  EXPECT_TRUE(
      Logged("webview.protocol protocol_error cmd=transferEverything detail=unknown "
             "transfer command"));
}

}  // namespace
