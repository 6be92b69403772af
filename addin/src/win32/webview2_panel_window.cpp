#include "webview2_panel_window.h"

#include "vantrel/diagnostic_log.h"
#include "vantrel/panel_defaults.h"

namespace vantrel {
namespace {

constexpr char kComponent[] = "webview";
constexpr char kLoaderMissing[] =
    "WebView2Loader.dll was not found. Ensure it is packaged beside the CATIA plugin module or "
    "available on PATH.";

}  // namespace

Win32WebView2PanelWindow::Win32WebView2PanelWindow(host::NativeHandle parent, int32_t width,
                                                   int32_t height)
    : parent_(parent),
      width_(static_cast<uint32_t>(width > 0 ? width : kDefaultPanelWidth)),
      height_(static_cast<uint32_t>(height > 0 ? height : kDefaultPanelHeight)) {}

bool Win32WebView2PanelWindow::Show(const std::string& url) {
  WriteLog(kLogInfo, kComponent, "Win32WebView2PanelWindow::Show");
  if (url.empty()) {
    lastError_ = "frontend location is empty";
    return false;
  }
  lastError_ = kLoaderMissing;
  WriteLog(kLogInfo, kComponent, lastError_);
  return false;
}

}  // namespace vantrel
