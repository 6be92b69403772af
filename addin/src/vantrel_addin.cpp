#include "vantrel/vantrel_addin.h"

#include <optional>

#include "host/environment.h"
#include "vantrel/addin_exports.h"
#include "vantrel/brand.h"
#include "vantrel/diagnostic_log.h"
#include "vantrel/runtime_config.h"
#include "vantrel/vantrel_cmd.h"

namespace vantrel {
namespace {

constexpr char kComponent[] = "plugin.addin";

void Log(const std::string& message) {
  WriteLog(kLogInfo, kComponent, message);
}

host::Desktop* HostDesktop() {
  host::Environment* env = host::environment();
  return env != nullptr ? env->desktop() : nullptr;
}

std::optional<std::string>& IconConfig() {
  static std::optional<std::string> icon;
  return icon;
}

}  // namespace

VantrelAddin::VantrelAddin() {
  // Loading the configuration gives the log its folder.
  (void)LoadRuntimeConfig();
  Log("plugin_open addin_loaded");
}

VantrelAddin::~VantrelAddin() {
  Log("plugin_close addin_unloaded");
}

std::string VantrelAddin::IconName() {
  if (!IconConfig()) IconConfig() = LoadRuntimeConfig().iconName;
  return IconConfig()->empty() ? std::string(kDefaultIconName) : *IconConfig();
}

void VantrelAddin::ResetIconForTesting() {
  IconConfig().reset();
}

void VantrelAddin::createCommands() {
  Log("VantrelAddin::CreateCommands");
  auto header = std::make_shared<VantrelAddinHeader>("VantrelCmdHeader", "Vantrel", "VantrelCmd",
                                                     /*state=*/1);
  header->setTitle(kBrandTitle);
  header->SetShortHelp(kHelpText);
  header->SetHelp(kHelpText);
  header->SetLongHelp(kHelpText);
  header->SetIconName(IconName(), 0);
  if (host::Desktop* desktop = HostDesktop()) desktop->addCommandHeader(header);
}

std::shared_ptr<host::CommandContainer> VantrelAddin::createToolbars() {
  Log("VantrelAddin::CreateToolbars");
  auto toolbar = std::make_shared<host::CommandContainer>("VantrelTlb");
  toolbar->setTitle(kBrandTitle);
  auto starter = std::make_shared<host::CommandStarter>("VantrelCmdStarter");
  starter->SetCommand("VantrelCmdHeader");
  starter->setTitle(kBrandTitle);
  starter->SetIconName(IconName());
  toolbar->AddChild(starter);
  host::Desktop* desktop = HostDesktop();
  if (desktop != nullptr)
    desktop->addToolbar(toolbar, host::kToolbarVisible, host::kToolbarPositionRight);

  if (LoadRuntimeConfig().autoOpenPanel) {
    Log("VantrelAddin::ScheduleAutoOpenPanel");
    const uint32_t id =
        desktop != nullptr ? desktop->startTimer(kAutoOpenDelayMs, &OnAutoOpenTimer) : 0;
    if (id == 0) Log("VantrelAddin::ScheduleAutoOpenPanelFailed");
  }
  return toolbar;
}

void VantrelAddin::OnAutoOpenTimer(uint32_t timerId) {
  if (host::Desktop* desktop = HostDesktop()) desktop->killTimer(timerId);
  Log("VantrelAddin::AutoOpenPanel");
  // The host owns the command from its construction on.
  (void)fctCreateVantrelCmd();
}

}  // namespace vantrel
