#include "vantrel/panel_host.h"

#include <stdexcept>

#include "vantrel/diagnostic_log.h"
#include "vantrel/draw_delay.h"

namespace vantrel {
namespace {
constexpr char kComponent[] = "plugin.lifecycle";
}

PanelHost::PanelHost(const RuntimeConfig& config) : config_(config) {
  WriteLog(kLogInfo, kComponent, "panel_host_created");
}

void PanelHost::Initialize() {
  if (initialized_) return;
  PublishDrawDelayMs(config_.drawDelayMs);
  WriteLog(kLogInfo, "runtime.config",
           "config FrontendLocation source=final value=" + config_.frontendUrl);
  if (config_.frontendUrl.empty()) throw std::runtime_error("frontend location is empty");
  if (window_ != nullptr && !window_->Show(config_.frontendUrl))
    throw std::runtime_error(window_->LastError());
  initialized_ = true;
  WriteLog(kLogInfo, kComponent, "panel_host_initialized");
}

void PanelHost::Shutdown() {
  WriteLog(kLogInfo, kComponent, "panel_host_shutdown");
  if (window_ != nullptr) window_->Close();
  initialized_ = false;
}

}  // namespace vantrel
