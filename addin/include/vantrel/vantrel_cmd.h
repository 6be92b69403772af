// The panel command: the docked dialog that holds the add-in's web panel.
#pragma once

#include <cstdint>
#include <memory>

#include "host/desktop.h"
#include "vantrel/panel_defaults.h"
#include "vantrel/panel_host.h"
#include "vantrel/panel_window.h"

namespace vantrel {

// The panel command: a resizable dialog docked in the host that holds one frame and, once a
// window handle exists, the panel host with its web panel. The host owns it from creation
// and destroys it after the dialog has been closed.
class VantrelCmd : public host::Command {
 public:
  static constexpr int32_t kMaxInitRetries = 20;
  static constexpr uint32_t kInitRetryDelayMs = 250;
  static constexpr uint32_t kDialogStyle = 0x44001;
  static constexpr uint32_t kFrameStyle = 0xC0001;

  VantrelCmd();
  ~VantrelCmd() override;
  VantrelCmd(const VantrelCmd&) = delete;
  VantrelCmd& operator=(const VantrelCmd&) = delete;

  void Build();
  void InitializePanelHost();
  void SchedulePanelHostInitialization(uint32_t delayMs);
  void OnPanelReady();

  PanelHost* panelHost() const { return panelHost_.get(); }
  PanelWindow* panelWindow() const { return panelWindow_.get(); }
  host::Dialog* dialog() const { return dialog_.get(); }
  host::Frame* hostFrame() const { return hostFrame_.get(); }
  int32_t initRetryCount() const { return initRetryCount_; }
  uint32_t initTimerId() const { return initTimerId_; }

 private:
  static void OnInitTimer(uint32_t timerId);
  void OnClose();
  host::NativeHandle ChooseParentHandle();
  void KillInitTimer();

  std::unique_ptr<PanelHost> panelHost_;
  std::unique_ptr<PanelWindow> panelWindow_;
  std::shared_ptr<host::Frame> hostFrame_;
  int32_t panelWidth_ = kDefaultPanelWidth;
  int32_t panelHeight_ = kDefaultPanelHeight;
  uint32_t initTimerId_ = 0;
  int32_t initRetryCount_ = 0;
  host::Desktop* desktop_ = nullptr;  // the host's, not owned
  std::shared_ptr<host::Dialog> dialog_;
};

}  // namespace vantrel
