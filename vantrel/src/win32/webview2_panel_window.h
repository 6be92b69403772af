// The panel window of the Windows build. This build hosts no browser control: Show fails as a
// system without the WebView2 loader makes it fail, with the same message and log line. What
// the web view would deliver is handled as the window always handles it: each message goes to
// the window's transfer protocol and demo-schema hook, and their replies go back to the page.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "../transfer_channel.h"
#include "vantrel/active_part_adapter.h"
#include "vantrel/panel_window.h"

namespace vantrel {

class Win32WebView2PanelWindow : public PanelWindow {
 public:
  Win32WebView2PanelWindow(host::NativeHandle parent, int32_t width, int32_t height);
  ~Win32WebView2PanelWindow() override { Close(); }

  bool Show(const std::string& url) override;
  void Close() override {}
  bool IsReady() const override { return false; }
  std::string LastError() const override { return lastError_; }
  // Without a web view there is no page to post to.
  void PostJson(const std::string& json) override { (void)json; }

  // A web message as the page posts it (its JSON text, UTF-8).
  void OnWebMessage(std::string_view json);

  uint32_t width() const { return width_; }
  uint32_t height() const { return height_; }

 private:
  host::NativeHandle parent_;
  uint32_t width_;
  uint32_t height_;
  std::string lastError_;
  TransferChannel channel_;
  UnwiredActivePartAdapter partAdapter_;
};

// Makes Win32WebView2PanelWindow the add-in's panel window.
void InstallWin32PanelWindow();

}  // namespace vantrel
