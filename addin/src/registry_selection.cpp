#include <mutex>

#include "platform/module_path.h"
#include "platform/windows_path.h"
#include "vantrel/diagnostic_log.h"
#include "vantrel/runtime_config.h"

namespace vantrel {
namespace {

constexpr char kComponent[] = "runtime.config";
constexpr char kProductRoot[] = "Software\\Vexmoor\\Tolvane";
constexpr char kUninstallRoot[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char kArchitecture[] = "x64";

std::mutex g_selectionMutex;
bool g_selectionMade = false;
std::string g_selectedKey;
std::optional<std::optional<std::string>> g_moduleOverride;

void Log(const std::string& message) {
  WriteLog(kLogInfo, kComponent, message);
}

bool HoldsModule(const std::string& module, const std::string& install) {
  if (module == install) return true;
  return module.size() > install.size() && module.compare(0, install.size(), install) == 0 &&
         module[install.size()] == '\\';
}

struct Best {
  std::string key;
  size_t length = 0;
  bool ambiguous = false;
};

void ConsiderInstallation(const std::string& name, const std::string& modulePath, Best& best) {
  std::string candidate = std::string(kProductRoot) + "\\" + name + "\\" + kArchitecture;
  platform::RegistryKey probe;
  if (platform::RegistryKey::OpenLocalMachine(candidate, platform::RegistryView::k64Bit, &probe) !=
      platform::kErrorSuccess) {
    return;
  }
  probe.Close();
  std::string entry = std::string(kUninstallRoot) + "Tolvane-" + name + "-" + kArchitecture;
  std::string location = ReadRegistryString(RegistryRoot::kLocalMachine, entry, "InstallLocation",
                                            false, platform::RegistryView::k32Bit);
  std::string module = NormalizePathForCompare(modulePath);
  std::string install = NormalizePathForCompare(location);
  if (module.empty() || install.empty() || !HoldsModule(module, install)) return;
  if (install.size() > best.length) {
    best = Best{candidate, install.size(), false};
    Log("registry selection matched " + name + "-" + kArchitecture + " at " + location);
  } else if (install.size() == best.length) {
    best.ambiguous = true;
    best.key.clear();
    Log("registry selection ambiguous for module " + modulePath);
  }
}

std::string Select() {
  std::optional<std::string> modulePath = ModuleFilePath();
  if (!modulePath) {
    Log("registry selection failed: VirtualQuery");
    return "";
  }
  if (modulePath->empty()) {
    Log("registry selection failed: GetModuleFileNameA");
    return "";
  }
  platform::RegistryKey root;
  if (platform::RegistryKey::OpenLocalMachine(kProductRoot, platform::RegistryView::k64Bit,
                                              &root) != platform::kErrorSuccess) {
    Log("registry selection failed: product root is unavailable");
    return "";
  }
  Best best;
  std::string name;
  for (uint32_t index = 0;; ++index) {
    name.clear();
    long status = root.EnumSubkey(index, &name);
    if (status == platform::kErrorNoMoreItems) break;
    if (status != platform::kErrorSuccess || name.empty()) continue;
    ConsiderInstallation(name, *modulePath, best);
  }
  root.Close();
  if (!best.ambiguous && !best.key.empty()) return best.key;
  Log("registry selection failed for module " + *modulePath);
  return "";
}

// Any function of this module serves to find the file that holds it.
void ModuleAnchor() {}

}  // namespace

std::optional<std::string> ModuleFilePath() {
  if (g_moduleOverride) return *g_moduleOverride;
  return platform::ModulePathOf(reinterpret_cast<const void*>(&ModuleAnchor));
}

std::string NormalizePathForCompare(std::string_view path) {
  std::string out = platform::winpath::ToLowerAscii(platform::winpath::ToBackslashes(path));
  while (out.size() > 3 && out.back() == '\\') out.pop_back();
  return out;
}

std::string SelectRegistryKey() {
  // The host calls this on one thread; the lock only keeps tools and tests honest.
  std::lock_guard<std::mutex> guard(g_selectionMutex);
  if (!g_selectionMade) {
    g_selectedKey = Select();
    g_selectionMade = true;
  }
  return g_selectedKey;
}

void ResetRegistrySelectionForTesting() {
  std::lock_guard<std::mutex> guard(g_selectionMutex);
  g_selectionMade = false;
  g_selectedKey.clear();
}

void SetModuleFilePathForTesting(std::optional<std::optional<std::string>> path) {
  std::lock_guard<std::mutex> guard(g_selectionMutex);
  g_moduleOverride = std::move(path);
}

}  // namespace vantrel
