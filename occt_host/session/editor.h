// The editor that shows one document (stands for CATFrmEditor).
#pragma once

#include <memory>

#include "host/application.h"
#include "host/document.h"
#include "occt_host/model/object.h"

namespace occt_host {

class Editor : public Object, public host::Editor {
 public:
  explicit Editor(const std::shared_ptr<host::Document>& document) : document_(document) {}

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // Null once the document is gone.
  std::shared_ptr<host::Document> document() override { return document_.lock(); }

 protected:
  void* findInterface(host::InterfaceId id) override {
    return id == host::Editor::kInterfaceId ? static_cast<host::Editor*>(this) : nullptr;
  }
  host::Unknown* identity() override { return static_cast<host::Editor*>(this); }

 private:
  std::weak_ptr<host::Document> document_;
};

}  // namespace occt_host
