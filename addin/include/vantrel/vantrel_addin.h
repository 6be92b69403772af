// The add-in as the host's workbench sees it: its command header, commands and toolbar.
#pragma once

#include <memory>
#include <string>

#include "host/desktop.h"

namespace vantrel {

// The header of the panel command, as the add-in declares it.
class VantrelAddinHeader : public host::CommandHeader {
 public:
  using host::CommandHeader::CommandHeader;
  std::shared_ptr<host::CommandHeader> clone() const override {
    return std::make_shared<VantrelAddinHeader>(*this);
  }
  std::string resourceFileName() const override { return "VantrelAddinHeader"; }
};

// The general workbench add-in: one command header, one toolbar with one button, and the
// optional opening of the panel some seconds after the toolbar is built.
class VantrelAddin : public host::GeneralWorkbenchAddin {
 public:
  static constexpr uint32_t kAutoOpenDelayMs = 15000;

  VantrelAddin();
  ~VantrelAddin() override;

  void createCommands() override;
  std::shared_ptr<host::CommandContainer> createToolbars() override;

  // The icon of the header and the button: configured once per process, "AIAvatar" when empty.
  static std::string IconName();
  static void ResetIconForTesting();

 private:
  static void OnAutoOpenTimer(uint32_t timerId);
};

// Enters the add-in and the command into the host's run-time dictionary, as loading the
// module does.
void RegisterVantrelModule(host::Desktop& desktop);

}  // namespace vantrel
