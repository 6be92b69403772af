// The application session: documents, windows and the event loop. One per process;
// while it lives it is the host environment that the plug-in reaches.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/application.h"
#include "host/document.h"
#include "host/environment.h"
#include "occt_host/session/event_loop.h"

namespace occt_host {

class ApplicationFrame;
class AutomationRegistration;

class Session : public host::Environment {
 public:
  Session();
  ~Session() override;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // A new document of kind "Part", "Product" or "Drawing", named like "Part1"; null for
  // another kind.
  std::shared_ptr<host::Document> newDocument(const std::string& kind);
  std::vector<std::shared_ptr<host::Document>> documents() const;
  // A window on the document's editor, made current together with that editor; null for a
  // document of another session.
  std::shared_ptr<host::Window> openWindow(const std::shared_ptr<host::Document>& document,
                                           bool withViewer = true);
  std::shared_ptr<host::Layout> layout() const;
  EventLoop& eventLoop() { return loop_; }
  // The session's application side, for tests that switch its interactive side off.
  ApplicationFrame& frame() { return *frame_; }
  // Registers this session as the running application for late-bound automation, until the
  // session ends; false when the automation runtime is not available.
  bool registerForAutomation();

  // host::Environment
  std::shared_ptr<host::Layout> currentLayout() override;
  host::MessagePump& messagePump() override { return loop_; }
  std::uint32_t tickCount() override { return loop_.tickCount(); }
  std::shared_ptr<host::Application> application() override;

 private:
  EventLoop loop_;
  std::shared_ptr<ApplicationFrame> frame_;
  host::Environment* previous_ = nullptr;
  std::unique_ptr<AutomationRegistration> automation_;
};

}  // namespace occt_host
