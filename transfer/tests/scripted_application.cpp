#include "scripted_application.h"

namespace vantrel::testing {
namespace {

// An editor, and an editor interface, that show no document.
class EmptyEditor : public host::Editor,
                    public host::DocumentEditor,
                    public std::enable_shared_from_this<EmptyEditor> {
 public:
  std::shared_ptr<void> queryInterface(host::InterfaceId id) override {
    if (id == host::Editor::kInterfaceId || id == "host.Unknown")
      return std::shared_ptr<host::Editor>(shared_from_this(), this);
    if (id == host::DocumentEditor::kInterfaceId)
      return std::shared_ptr<host::DocumentEditor>(shared_from_this(), this);
    return nullptr;
  }
  std::shared_ptr<host::Document> document() override { return nullptr; }
  std::shared_ptr<host::Editor> editor() override {
    return std::shared_ptr<host::Editor>(shared_from_this(), this);
  }
};

}  // namespace

std::shared_ptr<void> ScriptedApplication::queryInterface(host::InterfaceId id) {
  if (id == host::Application::kInterfaceId || id == "host.Unknown")
    return std::shared_ptr<host::Application>(shared_from_this(), this);
  if (id == host::InteractiveSession::kInterfaceId && host::query<host::InteractiveSession>(real_))
    return std::shared_ptr<host::InteractiveSession>(shared_from_this(), this);
  if (id == host::DocumentServices::kInterfaceId && services())
    return std::shared_ptr<host::DocumentServices>(shared_from_this(), this);
  return nullptr;
}

std::shared_ptr<host::Editor> ScriptedApplication::currentEditor() {
  if (currentEditorWithoutDocument) return std::make_shared<EmptyEditor>();
  return real_->currentEditor();
}

host::Status ScriptedApplication::newDocument(std::string_view type,
                                              std::shared_ptr<host::DocumentEditor>& out) {
  out = nullptr;
  if (interactiveFails) return host::kNotImplemented;
  if (interactiveEditorWithoutDocument) {
    out = std::make_shared<EmptyEditor>();
    return host::kOk;
  }
  return host::query<host::InteractiveSession>(real_)->newDocument(type, out);
}

}  // namespace vantrel::testing
