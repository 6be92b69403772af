#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "host/application.h"
#include "host/document.h"
#include "host/environment.h"

namespace vantrel::testing {

// The host session's application with chosen calls made to fail; everything else goes to
// the application it wraps.
class ScriptedApplication : public host::Application,
                            public host::InteractiveSession,
                            public std::enable_shared_from_this<ScriptedApplication> {
 public:
  explicit ScriptedApplication(std::shared_ptr<host::Application> real) : real_(std::move(real)) {}

  bool currentEditorWithoutDocument = false;
  bool interactiveFails = false;
  bool interactiveEditorWithoutDocument = false;
  bool editorFails = false;
  bool windowFails = false;

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override;
  std::shared_ptr<host::Editor> currentEditor() override;
  host::Status setCurrentEditor(const std::shared_ptr<host::Editor>& editor) override {
    return real_->setCurrentEditor(editor);
  }
  std::vector<std::shared_ptr<host::Editor>> editors() override { return real_->editors(); }
  host::Status newDocument(std::string_view type, std::shared_ptr<host::Document>& out) override {
    return real_->newDocument(type, out);
  }
  std::shared_ptr<host::Editor> createEditor(
      const std::shared_ptr<host::Document>& document) override {
    return editorFails ? nullptr : real_->createEditor(document);
  }
  std::shared_ptr<host::Window> createDefaultWindow(
      const std::shared_ptr<host::Editor>& editor) override {
    return windowFails ? nullptr : real_->createDefaultWindow(editor);
  }
  host::Status activateEditor(const std::shared_ptr<host::Editor>& editor) override {
    return real_->activateEditor(editor);
  }
  host::Status newDocument(std::string_view type,
                           std::shared_ptr<host::DocumentEditor>& out) override;

 private:
  std::shared_ptr<host::Application> real_;
};

}  // namespace vantrel::testing
