// The application frame: the session, its editors, windows, viewers and the current layout.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "host/status.h"
#include "host/unknown.h"

namespace host {

class Document;
class DocumentEditor;
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
  // Fits the view to everything shown.
  virtual void reframe() {}
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
  // Hands `editor` to `window` of this layout, which then shows the editor's document.
  virtual Status setWindowEditor(const std::shared_ptr<Window>& window,
                                 const std::shared_ptr<Editor>& editor) {
    (void)window, (void)editor;
    return kNotImplemented;
  }
};

// The interactive side of the session (stands for CATIIniInteractiveSession), queried from
// the Application; absent where the session runs without a user interface.
class InteractiveSession : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.InteractiveSession";
  // A new document of `type` ("Part", "Product", ...) shown in a window of its own; `out`
  // receives the document's editor interface. A failure leaves `out` null.
  virtual Status newDocument(std::string_view type, std::shared_ptr<DocumentEditor>& out) = 0;
};

// The application session (stands for CATSession with the editor statics of CATFrmEditor
// and CATDocumentServices). Reached through host::environment()->application().
class Application : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Application";
  // The editor the user works in; null when there is none.
  virtual std::shared_ptr<Editor> currentEditor() = 0;
  // Only an editor of an open document can become current.
  virtual Status setCurrentEditor(const std::shared_ptr<Editor>& editor) = 0;
  // The editors of the open documents, in creation order.
  virtual std::vector<std::shared_ptr<Editor>> editors() = 0;
  // A new document of `type` without a window (CATDocumentServices::New). A failure leaves
  // `out` null.
  virtual Status newDocument(std::string_view type, std::shared_ptr<Document>& out) = 0;
  // An initialised editor for an open document that has none in a window yet; null for a
  // document of another session.
  virtual std::shared_ptr<Editor> createEditor(const std::shared_ptr<Document>& document) = 0;
  // The editor's default window, added to the current layout without becoming its current
  // window (CATFrmEditor::CreateDefaultWindow); null when none can be made.
  virtual std::shared_ptr<Window> createDefaultWindow(const std::shared_ptr<Editor>& editor) = 0;
  // Makes the editor the active one, whose document receives the user's commands.
  virtual Status activateEditor(const std::shared_ptr<Editor>& editor) = 0;
};

}  // namespace host
