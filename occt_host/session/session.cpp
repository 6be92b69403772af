#include "occt_host/session/session.h"

#include "kernel/kernel_guard.h"
#include "occt_host/automation/automation_server.h"
#include "occt_host/session/application_frame.h"
#include "occt_host/session/layout.h"

namespace occt_host {

Session::Session() : frame_(std::make_shared<ApplicationFrame>()) {
  quietKernelMessages();
  previous_ = host::environment();
  host::setEnvironment(this);
}

Session::~Session() {
  automation_.reset();
  if (host::environment() == this) host::setEnvironment(previous_);
}

bool Session::registerForAutomation() {
  if (!automation_) automation_ = registerRunningApplication(frame_, this);
  return automation_ != nullptr;
}

std::shared_ptr<host::Document> Session::newDocument(const std::string& kind) {
  return frame_->createDocument(kind);
}

std::vector<std::shared_ptr<host::Document>> Session::documents() const {
  return frame_->documents();
}

std::shared_ptr<host::Window> Session::openWindow(const std::shared_ptr<host::Document>& document,
                                                  bool withViewer) {
  return frame_->openWindow(document, withViewer);
}

std::shared_ptr<host::Layout> Session::layout() const {
  return frame_->layout();
}

std::shared_ptr<host::Layout> Session::currentLayout() {
  return frame_->layout();
}

std::shared_ptr<host::Application> Session::application() {
  return std::shared_ptr<host::Application>(frame_, static_cast<host::Application*>(frame_.get()));
}

}  // namespace occt_host
