#include "webview2_panel_window.h"

#include <memory>

#include "vantrel/demo_schema_handler.h"
#include "vantrel/diagnostic_log.h"
#include "vantrel/panel_defaults.h"

namespace vantrel {
namespace {

constexpr char kComponent[] = "webview";
constexpr char kProtocol[] = "webview.protocol";
constexpr char kLoaderMissing[] =
    "WebView2Loader.dll was not found. Ensure it is packaged beside the CATIA plugin module or "
    "available on PATH.";

void Log(const std::string& message) {
  WriteLog(kLogInfo, kComponent, message);
}

void LogOutcome(const TransferOutcome& outcome) {
  switch (outcome.kind) {
    case TransferOutcomeKind::Completed:
      Log("transfer_completed cmd=" + outcome.command + " mode=" + outcome.mode +
          " name=" + outcome.name);
      break;
    case TransferOutcomeKind::RetryRequested:
      WriteLog(kLogWarn, kProtocol,
               "transfer_retry_requested cmd=" + outcome.command + " name=" + outcome.name);
      break;
    case TransferOutcomeKind::Failed:
      WriteLog(kLogError, kProtocol, outcome.detail);
      break;
    case TransferOutcomeKind::Accepted:
      break;
  }
}

}  // namespace

Win32WebView2PanelWindow::Win32WebView2PanelWindow(host::NativeHandle parent, int32_t width,
                                                   int32_t height)
    : parent_(parent),
      width_(static_cast<uint32_t>(width > 0 ? width : kDefaultPanelWidth)),
      height_(static_cast<uint32_t>(height > 0 ? height : kDefaultPanelHeight)) {}

bool Win32WebView2PanelWindow::Show(const std::string& url) {
  Log("Win32WebView2PanelWindow::Show");
  if (url.empty()) {
    lastError_ = "frontend location is empty";
    return false;
  }
  lastError_ = kLoaderMissing;
  Log(lastError_);
  return false;
}

void Win32WebView2PanelWindow::OnWebMessage(std::string_view json) {
  const TransferOutcome outcome = channel_.Handle(json);
  LogOutcome(outcome);
  PostJson(outcome.reply);
  const std::string schemaReply = DemoSchemaHook(&partAdapter_, outcome);
  if (!schemaReply.empty()) {
    Log("Win32WebView2PanelWindow::SchemaDispatchResponse");
    PostJson(schemaReply);
  }
}

void InstallWin32PanelWindow() {
  SetPanelWindowFactory([](host::NativeHandle parent, int32_t width, int32_t height) {
    return std::unique_ptr<PanelWindow>(
        std::make_unique<Win32WebView2PanelWindow>(parent, width, height));
  });
}

}  // namespace vantrel
