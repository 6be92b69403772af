// A host session for tests on Windows, where no CAD application exists: one editor on one
// Part document of the null adapter, no layout, no messages.
#pragma once

#include <memory>

#include "host/environment.h"
#include "host/interface_table.h"
#include "null_host.h"

namespace win32_test {

// One editor on one null-adapter Part document: the active document of the session.
class NullEditor : public host::Editor, public std::enable_shared_from_this<NullEditor> {
 public:
  std::shared_ptr<void> queryInterface(host::InterfaceId id) override {
    void* found = host::answerAs<host::Editor>(this, id);
    return found ? std::shared_ptr<void>(shared_from_this(), found) : nullptr;
  }
  std::shared_ptr<host::Document> document() override { return document_; }

 private:
  std::shared_ptr<host::Document> document_ = null_host::newPartDocument();
};

class NullApplication : public host::Application {
 public:
  std::shared_ptr<void> queryInterface(host::InterfaceId) override { return nullptr; }
  std::shared_ptr<host::Editor> currentEditor() override { return editor_; }
  host::Status setCurrentEditor(const std::shared_ptr<host::Editor>&) override { return host::kOk; }
  std::vector<std::shared_ptr<host::Editor>> editors() override { return {editor_}; }
  host::Status newDocument(std::string_view, std::shared_ptr<host::Document>&) override {
    return host::kUnexpected;
  }
  std::shared_ptr<host::Editor> createEditor(const std::shared_ptr<host::Document>&) override {
    return nullptr;
  }
  std::shared_ptr<host::Window> createDefaultWindow(const std::shared_ptr<host::Editor>&) override {
    return nullptr;
  }
  host::Status activateEditor(const std::shared_ptr<host::Editor>&) override { return host::kOk; }

 private:
  std::shared_ptr<host::Editor> editor_ = std::make_shared<NullEditor>();
};

class NoMessages : public host::MessagePump {
 public:
  host::WaitResult waitForInput(std::uint32_t) override { return host::WaitResult::Timeout; }
  bool peekMessage(host::Message&) override { return false; }
  void dispatchMessage(host::Message&) override {}
  void postQuit(int) override {}
};

class NullEnvironment : public host::Environment {
 public:
  std::shared_ptr<host::Layout> currentLayout() override { return nullptr; }
  host::MessagePump& messagePump() override { return pump_; }
  std::uint32_t tickCount() override { return 0; }
  std::shared_ptr<host::Application> application() override { return application_; }

 private:
  NoMessages pump_;
  std::shared_ptr<host::Application> application_ = std::make_shared<NullApplication>();
};

}  // namespace win32_test
