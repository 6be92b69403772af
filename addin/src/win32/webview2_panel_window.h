#pragma once

#include <cstdint>
#include <string>

#include "vantrel/panel_window.h"

namespace vantrel {

// The panel window of the Windows build. It hosts no browser control of its own: Show fails
// as a system without the WebView2 loader makes it fail, with the same message and log line.
class Win32WebView2PanelWindow : public PanelWindow {
 public:
  Win32WebView2PanelWindow(host::NativeHandle parent, int32_t width, int32_t height);
  bool Show(const std::string& url) override;
  void Close() override {}
  bool IsReady() const override { return false; }
  std::string LastError() const override { return lastError_; }

 private:
  host::NativeHandle parent_;
  uint32_t width_;
  uint32_t height_;
  std::string lastError_;
};

}  // namespace vantrel
