#include "vantrel/vantrel_cmd.h"

#include <exception>
#include <map>
#include <string>

#include "host/environment.h"
#include "vantrel/brand.h"
#include "vantrel/diagnostic_log.h"
#include "vantrel/runtime_config.h"

namespace vantrel {
namespace {

constexpr char kComponent[] = "plugin.command";

void Log(const std::string& message) {
  WriteLog(kLogInfo, kComponent, message);
}

host::Desktop* HostDesktop() {
  host::Environment* env = host::environment();
  return env != nullptr ? env->desktop() : nullptr;
}

// Which command a pending initialization timer belongs to.
std::map<uint32_t, VantrelCmd*>& InitTimers() {
  static std::map<uint32_t, VantrelCmd*> timers;
  return timers;
}

// The host calls these from its own code: nothing may leave them.
template <class F>
std::function<void()> Guarded(F f) {
  return [f]() {
    try {
      f();
    } catch (...) {
      WriteLog(kLogError, kComponent, "VantrelCmd::CallbackFailed");
    }
  };
}

int64_t Area(const host::Rect& r) {
  return r.width > 0 && r.height > 0 ? int64_t{r.width} * r.height : 0;
}

}  // namespace

VantrelCmd::VantrelCmd() : desktop_(HostDesktop()) {
  if (desktop_ != nullptr) {
    desktop_->adoptCommand(this);
    dialog_ = desktop_->createDialog(desktop_->mainWindow(), "VantrelDialog", kDialogStyle);
  }
  RuntimeConfig config = LoadRuntimeConfig();
  Log("panel_open command_created");
  panelWidth_ = config.panelWidth;
  panelHeight_ = config.panelHeight;
  if (dialog_) {
    dialog_->setTitle(kBrandTitle);
    dialog_->setRectDimensions(host::Rect{0, 0, panelWidth_, panelHeight_});
  }
  Build();
  if (dialog_) dialog_->setVisibility(host::kVisibilityShown);
  InitializePanelHost();
}

VantrelCmd::~VantrelCmd() {
  Log("panel_close command_destroyed");
  KillInitTimer();
  if (panelHost_) {
    panelHost_->Shutdown();
    panelHost_.reset();
  }
  panelWindow_.reset();
  if (dialog_) dialog_->destroy();
}

void VantrelCmd::Build() {
  if (hostFrame_ || !dialog_) return;
  Log("VantrelCmd::Build");
  dialog_->setGridColumnResizable(0);
  dialog_->setGridRowResizable(0);
  hostFrame_ = dialog_->createFrame("VantrelHostFrame", kFrameStyle);
  if (!hostFrame_) return;
  const int32_t height = panelHeight_ - 16 > 0 ? panelHeight_ - 16 : panelHeight_;
  hostFrame_->setRectDimensions(host::Rect{0, 0, panelWidth_, height});
  hostFrame_->setGridConstraints(0, 0, 1, 1, host::kAttachAllSides);
  hostFrame_->setGridColumnResizable(0);
  hostFrame_->setGridRowResizable(0);

  auto close = Guarded([this] { OnClose(); });
  dialog_->setHandler(host::DialogEvent::WindowClose, close);
  dialog_->setHandler(host::DialogEvent::Close, close);
  auto ready = Guarded([this] { OnPanelReady(); });
  for (host::DialogEvent event :
       {host::DialogEvent::Create, host::DialogEvent::Visibility, host::DialogEvent::Resize}) {
    dialog_->setHandler(event, ready);
    hostFrame_->setHandler(event, ready);
  }
}

void VantrelCmd::OnPanelReady() {
  Log("VantrelCmd::OnPanelReady");
  InitializePanelHost();
}

host::NativeHandle VantrelCmd::ChooseParentHandle() {
  const host::NativeHandle frame = hostFrame_ ? hostFrame_->nativeHandle() : 0;
  const host::NativeHandle dialog = dialog_ ? dialog_->nativeHandle() : 0;
  if (frame == 0) {
    Log("VantrelCmd::FrameWindowHandleNull");
    return dialog;
  }
  if (dialog == 0) return frame;
  host::Rect frameRect, dialogRect;
  const int64_t frameArea = hostFrame_->clientRect(frameRect) ? Area(frameRect) : 0;
  const bool dialogRectOk =
      dialog_->clientRect(dialogRect) && dialogRect.width >= 1 && dialogRect.height >= 1;
  const int64_t dialogArea = dialogRectOk ? Area(dialogRect) : 0;
  // A frame that has not been laid out yet would squeeze the panel into a corner.
  if (dialogRectOk && dialogArea > 0 && frameArea < dialogArea / 2) {
    Log("VantrelCmd::UseDialogWindowHandle");
    return dialog;
  }
  Log("VantrelCmd::UseFrameWindowHandle");
  return frame;
}

void VantrelCmd::InitializePanelHost() {
  if (panelHost_) return;
  Log("VantrelCmd::InitializePanelHost");
  const host::NativeHandle parent = ChooseParentHandle();
  if (parent == 0) {
    Log("VantrelCmd::DialogWindowHandleNull");
    if (initRetryCount_ < kMaxInitRetries) {
      ++initRetryCount_;
      SchedulePanelHostInitialization(kInitRetryDelayMs);
    } else {
      Log("VantrelCmd::PanelWindowHandleUnavailable");
    }
    return;
  }
  try {
    RuntimeConfig config = LoadRuntimeConfig();
    panelWindow_ = CreatePanelWindow(parent, config.panelWidth, config.panelHeight);
    panelHost_ = std::make_unique<PanelHost>(config);
    panelHost_->SetWindow(panelWindow_.get());
    panelHost_->Initialize();
  } catch (const std::exception& e) {
    WriteLog(kLogError, kComponent, std::string("panel_initialize_failed detail=") + e.what());
    const std::string lastError = panelWindow_ ? panelWindow_->LastError() : std::string();
    if (!lastError.empty()) WriteLog(kLogError, kComponent, lastError);
  }
}

void VantrelCmd::SchedulePanelHostInitialization(uint32_t delayMs) {
  Log("VantrelCmd::SchedulePanelHostInitialization");
  KillInitTimer();
  const uint32_t id =
      desktop_ != nullptr ? desktop_->startTimer(delayMs, &VantrelCmd::OnInitTimer) : 0;
  if (id == 0) {
    Log("VantrelCmd::ScheduleInitializePanelHostFailed");
    InitializePanelHost();
    return;
  }
  initTimerId_ = id;
  InitTimers()[id] = this;
}

void VantrelCmd::OnInitTimer(uint32_t timerId) {
  auto found = InitTimers().find(timerId);
  if (found == InitTimers().end()) return;
  VantrelCmd* command = found->second;
  command->KillInitTimer();
  try {
    command->InitializePanelHost();
  } catch (...) {
    WriteLog(kLogError, kComponent, "VantrelCmd::CallbackFailed");
  }
}

void VantrelCmd::KillInitTimer() {
  if (initTimerId_ == 0) return;
  if (desktop_ != nullptr) desktop_->killTimer(initTimerId_);
  InitTimers().erase(initTimerId_);
  initTimerId_ = 0;
}

void VantrelCmd::OnClose() {
  Log("panel_close requested");
  if (panelHost_) panelHost_->Shutdown();
  if (dialog_) dialog_->setVisibility(host::kVisibilityHidden);
  if (desktop_ != nullptr) desktop_->requestDelayedDestruction(this);
}

}  // namespace vantrel
