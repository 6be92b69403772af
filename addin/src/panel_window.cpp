#include "vantrel/panel_window.h"

#include <utility>

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
  return std::make_unique<UnavailablePanelWindow>();
}

}  // namespace vantrel
