#include "occt_host/session/application_frame.h"

#include "exchange/document_storage.h"
#include "kernel/kernel_guard.h"
#include "occt_host/session/document.h"
#include "occt_host/session/layout.h"
#include "occt_host/session/viewer.h"
#include "session/window.h"

namespace occt_host {

ApplicationFrame::ApplicationFrame() : layout_(std::make_shared<Layout>()) {}

std::shared_ptr<host::Document> ApplicationFrame::createDocument(std::string_view kind) {
  if (!Document::knownKind(kind)) return nullptr;
  std::string name = std::string(kind) + std::to_string(++counters_[std::string(kind)]);
  std::shared_ptr<host::Document> document = Document::create(name, std::string(kind));
  documents_.push_back(document);
  return document;
}

void ApplicationFrame::addDocument(const std::shared_ptr<host::Document>& document) {
  if (document && !owns(document)) documents_.push_back(document);
}

bool ApplicationFrame::closeDocument(const std::shared_ptr<host::Document>& document) {
  if (!owns(document)) return false;
  auto editors = host::query<host::DocumentEditor>(document);
  std::shared_ptr<host::Editor> editor = editors ? editors->editor() : nullptr;
  if (editor) layout_->removeWindowsOf(editor);
  if (host::sameObject(current_.lock(), editor)) current_.reset();
  if (host::sameObject(active_.lock(), editor)) active_.reset();
  for (auto it = documents_.begin(); it != documents_.end(); ++it) {
    if (host::sameObject(*it, document)) {
      documents_.erase(it);
      break;
    }
  }
  return true;
}

std::shared_ptr<host::Window> ApplicationFrame::openWindow(
    const std::shared_ptr<host::Document>& document, bool withViewer) {
  auto editors = host::query<host::DocumentEditor>(document);
  if (!owns(document) || !editors) return nullptr;
  std::shared_ptr<host::Window> window = makeWindow(editors->editor(), withViewer);
  layout_->add(window);
  current_ = editors->editor();
  return window;
}

host::Status ApplicationFrame::setCurrentEditor(const std::shared_ptr<host::Editor>& editor) {
  if (!editor) return host::kPointer;
  if (!ownsEditor(editor)) return host::kInvalidArg;
  current_ = editor;
  return host::kOk;
}

std::vector<std::shared_ptr<host::Editor>> ApplicationFrame::editors() {
  return guarded({}, [&] {
    std::vector<std::shared_ptr<host::Editor>> all;
    for (const auto& document : documents_) {
      auto editors = host::query<host::DocumentEditor>(document);
      if (editors && editors->editor()) all.push_back(editors->editor());
    }
    return all;
  });
}

host::Status ApplicationFrame::newDocument(std::string_view type,
                                           std::shared_ptr<host::Document>& out) {
  out = guarded(nullptr, [&]() -> std::shared_ptr<host::Document> { return createDocument(type); });
  return out ? host::kOk : host::kInvalidArg;
}

std::shared_ptr<host::Editor> ApplicationFrame::createEditor(
    const std::shared_ptr<host::Document>& document) {
  // This model gives each document one editor: the window made for it must show the editor
  // that the document names, or the drawing's viewer refresh would not find the window.
  auto editors = host::query<host::DocumentEditor>(document);
  if (!owns(document) || !editors) return nullptr;
  return editors->editor();
}

std::shared_ptr<host::Window> ApplicationFrame::createDefaultWindow(
    const std::shared_ptr<host::Editor>& editor) {
  if (!editor || !ownsEditor(editor)) return nullptr;
  return guarded(nullptr, [&] {
    std::shared_ptr<host::Window> window = makeWindow(editor, true);
    layout_->add(window, /*makeCurrent=*/false);
    return window;
  });
}

host::Status ApplicationFrame::activateEditor(const std::shared_ptr<host::Editor>& editor) {
  if (!editor) return host::kPointer;
  if (!ownsEditor(editor)) return host::kInvalidArg;
  active_ = editor;
  return host::kOk;
}

host::Status ApplicationFrame::newDocument(std::string_view type,
                                           std::shared_ptr<host::DocumentEditor>& out) {
  out = nullptr;
  return guarded(host::kFail, [&]() -> host::Status {
    std::shared_ptr<host::Document> document = createDocument(type);
    if (!document || !openWindow(document, true)) return host::kInvalidArg;
    out = host::query<host::DocumentEditor>(document);
    return out ? host::kOk : host::kFail;
  });
}

host::Status ApplicationFrame::openDocument(const std::string& path,
                                            std::shared_ptr<host::Document>& out) {
  out = nullptr;
  const host::Status status = guarded(host::kFail, [&]() -> host::Status {
    auto known = paths_.find(path);
    if (known != paths_.end()) {
      out = known->second.lock();
      if (out && owns(out)) return host::kOk;
      paths_.erase(known);
      out = nullptr;
    }
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::shared_ptr<Document> document = Document::create(name, "Part");
    std::string error;
    const host::Status loaded = loadPartDocument(path, *document, error);
    if (host::failed(loaded)) return loaded;
    documents_.push_back(document);
    paths_[path] = document;
    out = document;
    return host::kOk;
  });
  // Every failure leaves no document, also one found before the kernel threw.
  if (host::failed(status)) out = nullptr;
  return status;
}

host::Status ApplicationFrame::saveAs(const std::shared_ptr<host::Document>& document,
                                      const std::string& path, const std::string& format,
                                      int flags) {
  (void)flags;  // an existing file is always replaced
  return guarded(host::kFail, [&]() -> host::Status {
    auto ours = std::dynamic_pointer_cast<Document>(document);
    if (!ours || !owns(document)) return host::kInvalidArg;
    if (!format.empty() || !ours->container()) return host::kNotImplemented;
    std::string error;
    const host::Status saved = savePartDocument(*ours, path, error);
    if (host::succeeded(saved)) paths_[path] = document;
    return saved;
  });
}

host::Status ApplicationFrame::removeDocument(const std::shared_ptr<host::Document>& document,
                                              int flags) {
  (void)flags;  // nothing here asks the user
  return guarded(host::kFail, [&]() -> host::Status {
    if (!document) return host::kPointer;
    for (auto it = documents_.begin(); it != documents_.end(); ++it) {
      if (!host::sameObject(*it, document)) continue;
      auto editors = host::query<host::DocumentEditor>(document);
      std::shared_ptr<host::Editor> editor = editors ? editors->editor() : nullptr;
      if (editor) layout_->removeWindowsOf(editor);
      if (host::sameObject(current_.lock(), editor)) current_.reset();
      if (host::sameObject(active_.lock(), editor)) active_.reset();
      documents_.erase(it);
      return host::kOk;
    }
    return host::kInvalidArg;
  });
}

void* ApplicationFrame::findInterface(host::InterfaceId id) {
  if (id == host::Application::kInterfaceId) return static_cast<host::Application*>(this);
  if (id == host::DocumentServices::kInterfaceId) return static_cast<host::DocumentServices*>(this);
  if (id == host::InteractiveSession::kInterfaceId && interactive_)
    return static_cast<host::InteractiveSession*>(this);
  return nullptr;
}

bool ApplicationFrame::owns(const std::shared_ptr<host::Document>& document) const {
  for (const auto& d : documents_) {
    if (host::sameObject(d, document)) return true;
  }
  return false;
}

bool ApplicationFrame::ownsEditor(const std::shared_ptr<host::Editor>& editor) {
  for (const auto& e : editors()) {
    if (host::sameObject(e, editor)) return true;
  }
  return false;
}

std::shared_ptr<host::Window> ApplicationFrame::makeWindow(
    const std::shared_ptr<host::Editor>& editor, bool withViewer) {
  std::shared_ptr<host::Viewer> viewer;
  if (withViewer) viewer = viewerFactory_ ? viewerFactory_(editor) : std::make_shared<Viewer>();
  return std::make_shared<Window>(editor, viewer);
}

}  // namespace occt_host
