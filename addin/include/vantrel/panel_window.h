// The window that shows the front end inside the panel dialog.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "host/desktop.h"

namespace vantrel {

class PanelWindow {
 public:
  virtual ~PanelWindow() = default;
  // True when the panel is shown or its creation has started; false with LastError() set.
  virtual bool Show(const std::string& url) = 0;
  // Tears everything down; safe to call repeatedly.
  virtual void Close() = 0;
  // Whether navigation to the front end has started.
  virtual bool IsReady() const = 0;
  // The last failure, "<operation> failed: ..."; empty when none.
  virtual std::string LastError() const = 0;
  // Posts a JSON text to the page; nothing happens without a page.
  virtual void PostJson(const std::string& json) { (void)json; }
};

// Makes the panel window for a parent window (0: a window of its own) and a configured size.
using PanelWindowFactory = std::function<std::unique_ptr<PanelWindow>(
    host::NativeHandle parent, int32_t width, int32_t height)>;

// The web panel installs its factory when its module part is present; an empty factory
// restores the default, whose windows fail to show with a clear LastError().
void SetPanelWindowFactory(PanelWindowFactory factory);
std::unique_ptr<PanelWindow> CreatePanelWindow(host::NativeHandle parent, int32_t width,
                                               int32_t height);

}  // namespace vantrel
