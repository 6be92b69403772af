// The application frame: editors, windows, viewers and the current layout.
#pragma once

#include <memory>
#include <vector>

#include "host/status.h"
#include "host/unknown.h"

namespace host {

class Document;
class Window;

// What shows one document (stands for CATFrmEditor).
class Editor : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Editor";
  virtual std::shared_ptr<Document> document() = 0;
};

// The 3D viewer of a window.
class Viewer : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Viewer";
  virtual void redraw() = 0;
};

// A document window (stands for CATFrmWindow).
class Window : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Window";
  virtual std::shared_ptr<Editor> editor() = 0;
  // Null when the window has no 3D viewer.
  virtual std::shared_ptr<Viewer> viewer() = 0;
};

// The windows of the application (stands for CATFrmLayout).
class Layout : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Layout";
  virtual std::vector<std::shared_ptr<Window>> windows() = 0;
  virtual std::shared_ptr<Window> currentWindow() = 0;
  virtual Status setCurrentWindow(const std::shared_ptr<Window>& window) = 0;
};

}  // namespace host
