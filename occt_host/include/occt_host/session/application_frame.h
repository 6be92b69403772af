// The application session's state (stands for CATSession with its interactive side): the
// open documents, their editors, the current and the active editor, and the layout.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/application.h"
#include "host/document.h"
#include "host/document_services.h"
#include "occt_host/model/object.h"

namespace occt_host {

class Layout;

class ApplicationFrame : public Object,
                         public host::Application,
                         public host::InteractiveSession,
                         public host::DocumentServices {
 public:
  ApplicationFrame();

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // A new document of kind "Part", "Product" or "Drawing", named like "Part1"; null for
  // another kind.
  std::shared_ptr<host::Document> createDocument(std::string_view kind);
  std::vector<std::shared_ptr<host::Document>> documents() const { return documents_; }
  // Takes in a document made elsewhere (a file opened by automation), without a window.
  void addDocument(const std::shared_ptr<host::Document>& document);
  // Closes an open document: it leaves the session with its windows and stops being current.
  bool closeDocument(const std::shared_ptr<host::Document>& document);
  // A window on the document's editor; it becomes the layout's current window and its
  // editor the current one. Null for a document of another session.
  std::shared_ptr<host::Window> openWindow(const std::shared_ptr<host::Document>& document,
                                           bool withViewer);
  const std::shared_ptr<Layout>& layout() const { return layout_; }
  // Whether the session answers for its interactive side; on by default.
  void setInteractiveAvailable(bool available) { interactive_ = available; }
  std::shared_ptr<host::Editor> activeEditor() const { return active_.lock(); }
  // Makes the viewer of each new window that has one; by default a viewer that only counts
  // its redraws. A desktop frame puts its real 3D views here.
  using ViewerFactory =
      std::function<std::shared_ptr<host::Viewer>(const std::shared_ptr<host::Editor>&)>;
  void setViewerFactory(ViewerFactory factory) { viewerFactory_ = std::move(factory); }

  // host::Application
  std::shared_ptr<host::Editor> currentEditor() override { return current_.lock(); }
  host::Status setCurrentEditor(const std::shared_ptr<host::Editor>& editor) override;
  std::vector<std::shared_ptr<host::Editor>> editors() override;
  host::Status newDocument(std::string_view type, std::shared_ptr<host::Document>& out) override;
  std::shared_ptr<host::Editor> createEditor(
      const std::shared_ptr<host::Document>& document) override;
  std::shared_ptr<host::Window> createDefaultWindow(
      const std::shared_ptr<host::Editor>& editor) override;
  host::Status activateEditor(const std::shared_ptr<host::Editor>& editor) override;

  // host::InteractiveSession
  host::Status newDocument(std::string_view type,
                           std::shared_ptr<host::DocumentEditor>& out) override;

  // host::DocumentServices: Part documents in binary XDE storage. Opening a path that an open
  // document came from gives that document, as the original does.
  host::Status openDocument(const std::string& path, std::shared_ptr<host::Document>& out) override;
  host::Status saveAs(const std::shared_ptr<host::Document>& document, const std::string& path,
                      const std::string& format, int flags) override;
  host::Status removeDocument(const std::shared_ptr<host::Document>& document, int flags) override;

 protected:
  void* findInterface(host::InterfaceId id) override;
  host::Unknown* identity() override { return static_cast<host::Application*>(this); }

 private:
  bool owns(const std::shared_ptr<host::Document>& document) const;
  bool ownsEditor(const std::shared_ptr<host::Editor>& editor);
  std::shared_ptr<host::Window> makeWindow(const std::shared_ptr<host::Editor>& editor,
                                           bool withViewer);

  std::shared_ptr<Layout> layout_;
  std::vector<std::shared_ptr<host::Document>> documents_;
  std::map<std::string, int, std::less<>> counters_;
  std::weak_ptr<host::Editor> current_;
  std::weak_ptr<host::Editor> active_;
  bool interactive_ = true;
  ViewerFactory viewerFactory_;
  std::map<std::string, std::weak_ptr<host::Document>, std::less<>> paths_;
};

}  // namespace occt_host
