// A document window (stands for CATFrmWindow): an editor and, optionally, a viewer.
#pragma once

#include <memory>
#include <utility>

#include "host/application.h"
#include "occt_host/model/object.h"

namespace occt_host {

class Window : public Object, public host::Window {
 public:
  Window(std::shared_ptr<host::Editor> editor, std::shared_ptr<host::Viewer> viewer)
      : editor_(std::move(editor)), viewer_(std::move(viewer)) {}

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  std::shared_ptr<host::Editor> editor() override { return editor_; }
  std::shared_ptr<host::Viewer> viewer() override { return viewer_; }
  // The layout hands a window the editor it shows.
  void setEditor(std::shared_ptr<host::Editor> editor) { editor_ = std::move(editor); }

 protected:
  void* findInterface(host::InterfaceId id) override {
    return id == host::Window::kInterfaceId ? static_cast<host::Window*>(this) : nullptr;
  }
  host::Unknown* identity() override { return static_cast<host::Window*>(this); }

 private:
  std::shared_ptr<host::Editor> editor_;
  std::shared_ptr<host::Viewer> viewer_;
};

}  // namespace occt_host
