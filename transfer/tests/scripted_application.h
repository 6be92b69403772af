#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "host/application.h"
#include "host/document.h"
#include "host/document_services.h"
#include "host/environment.h"

namespace vantrel::testing {

// The host session's application with chosen calls made to fail; everything else goes to
// the application it wraps.
class ScriptedApplication : public host::Application,
                            public host::InteractiveSession,
                            public host::DocumentServices,
                            public std::enable_shared_from_this<ScriptedApplication> {
 public:
  explicit ScriptedApplication(std::shared_ptr<host::Application> real) : real_(std::move(real)) {}

  bool currentEditorWithoutDocument = false;
  bool interactiveFails = false;
  bool interactiveEditorWithoutDocument = false;
  bool editorFails = false;
  bool windowFails = false;
  // The save with this number (from 1) fails; 0 for none.
  int saveFailsAt = 0;
  bool newDocumentFails = false;

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override;
  std::shared_ptr<host::Editor> currentEditor() override;
  host::Status setCurrentEditor(const std::shared_ptr<host::Editor>& editor) override {
    return real_->setCurrentEditor(editor);
  }
  std::vector<std::shared_ptr<host::Editor>> editors() override { return real_->editors(); }
  host::Status newDocument(std::string_view type, std::shared_ptr<host::Document>& out) override {
    if (newDocumentFails) return host::kUnexpected;
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

  host::Status openDocument(const std::string& path,
                            std::shared_ptr<host::Document>& out) override {
    return services()->openDocument(path, out);
  }
  host::Status saveAs(const std::shared_ptr<host::Document>& document, const std::string& path,
                      const std::string& format, int flags) override {
    if (++saves_ == saveFailsAt) return host::kFail;
    return services()->saveAs(document, path, format, flags);
  }
  host::Status removeDocument(const std::shared_ptr<host::Document>& document, int flags) override {
    return services()->removeDocument(document, flags);
  }

 private:
  std::shared_ptr<host::DocumentServices> services() {
    return host::query<host::DocumentServices>(real_);
  }

  std::shared_ptr<host::Application> real_;
  int saves_ = 0;
};

}  // namespace vantrel::testing
