#include "occt_host/session.h"

#include "host/document.h"
#include "occt_host/document.h"
#include "occt_host/kernel_guard.h"
#include "occt_host/layout.h"
#include "occt_host/viewer.h"
#include "occt_host/window.h"

namespace occt_host {

Session::Session() : layout_(std::make_shared<Layout>()) {
  quietKernelMessages();
  previous_ = host::environment();
  host::setEnvironment(this);
}

Session::~Session() {
  if (host::environment() == this) host::setEnvironment(previous_);
}

std::shared_ptr<host::Document> Session::newDocument(const std::string& kind) {
  if (!Document::knownKind(kind)) return nullptr;
  std::string name = kind + std::to_string(++counters_[kind]);
  std::shared_ptr<host::Document> document = Document::create(name, kind);
  documents_.push_back(document);
  return document;
}

std::shared_ptr<host::Window> Session::openWindow(const std::shared_ptr<host::Document>& document,
                                                  bool withViewer) {
  bool ours = false;
  for (const auto& d : documents_) ours = ours || host::sameObject(d, document);
  auto editors = host::query<host::DocumentEditor>(document);
  if (!ours || !editors) return nullptr;
  std::shared_ptr<host::Viewer> viewer;
  if (withViewer) viewer = std::make_shared<Viewer>();
  std::shared_ptr<host::Window> window = std::make_shared<Window>(editors->editor(), viewer);
  layout_->add(window);
  return window;
}

std::shared_ptr<host::Layout> Session::layout() const {
  return layout_;
}

std::shared_ptr<host::Layout> Session::currentLayout() {
  return layout_;
}

}  // namespace occt_host
