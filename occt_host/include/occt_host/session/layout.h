// The application's windows (stands for CATFrmLayout), in creation order.
#pragma once

#include <memory>
#include <vector>

#include "host/application.h"
#include "occt_host/model/object.h"

namespace occt_host {

class Layout : public Object, public host::Layout {
 public:
  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  std::vector<std::shared_ptr<host::Window>> windows() override;
  std::shared_ptr<host::Window> currentWindow() override { return current_.lock(); }
  // Only a window of this layout can become current.
  host::Status setCurrentWindow(const std::shared_ptr<host::Window>& window) override;
  // Only a window of this layout takes an editor.
  host::Status setWindowEditor(const std::shared_ptr<host::Window>& window,
                               const std::shared_ptr<host::Editor>& editor) override;

  // Appends `window` and makes it current unless told otherwise, as opening a window does.
  void add(const std::shared_ptr<host::Window>& window, bool makeCurrent = true);
  // Removes the windows that show `editor` (its document was closed).
  void removeWindowsOf(const std::shared_ptr<host::Editor>& editor);

 protected:
  void* findInterface(host::InterfaceId id) override {
    return id == host::Layout::kInterfaceId ? static_cast<host::Layout*>(this) : nullptr;
  }
  host::Unknown* identity() override { return static_cast<host::Layout*>(this); }

 private:
  std::shared_ptr<host::Window> find(const std::shared_ptr<host::Window>& window) const;

  std::vector<std::shared_ptr<host::Window>> windows_;
  std::weak_ptr<host::Window> current_;
};

}  // namespace occt_host
