#include "vantrel/panel_window.h"

#include <utility>

#if defined(_WIN32)
#include "win32/webview2_panel_window.h"
#endif

namespace vantrel {
namespace {

// Stands in while no web engine is part of the module: nothing can be shown.
class UnavailablePanelWindow : public PanelWindow {
 public:
  bool Show(const std::string& url) override {
    (void)url;
    lastError_ = "PanelWindow::Show failed: no web panel is built into this module";
    return false;
  }
  void Close() override {}
  bool IsReady() const override { return false; }
  std::string LastError() const override { return lastError_; }

 private:
  std::string lastError_;
};

PanelWindowFactory& Factory() {
  static PanelWindowFactory factory;
  return factory;
}

}  // namespace

void SetPanelWindowFactory(PanelWindowFactory factory) {
  Factory() = std::move(factory);
}

std::unique_ptr<PanelWindow> CreatePanelWindow(host::NativeHandle parent, int32_t width,
                                               int32_t height) {
  if (Factory()) {
    if (std::unique_ptr<PanelWindow> window = Factory()(parent, width, height)) return window;
  }
#if defined(_WIN32)
  return std::make_unique<Win32WebView2PanelWindow>(parent, width, height);
#else
  return std::make_unique<UnavailablePanelWindow>();
#endif
}

}  // namespace vantrel
