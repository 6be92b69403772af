// The add-in's runtime configuration: its settings, where each came from, and how they are read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "vantrel/panel_defaults.h"

namespace vantrel {

// The add-in's settings, read afresh at each LoadRuntimeConfig.
struct RuntimeConfig {
  std::string debugLogFolder;
  std::string frontendUrl;
  uint32_t drawDelayMs = 0;
  int32_t panelWidth = kDefaultPanelWidth;
  int32_t panelHeight = kDefaultPanelHeight;
  std::string iconName;
  bool autoOpenPanel = false;
};

// Where each field's text came from: "environment", "registry", "default" or "launch-override".
struct RuntimeConfigSources {
  std::string debugLogFolder;
  std::string frontendUrl;
  std::string drawDelayMs;
  std::string panelWidth;
  std::string panelHeight;
  std::string iconName;
  std::string autoOpenPanel;
};

enum class RegistryRoot { kLocalMachine };

// Reads every setting (environment, then the installation's registry key, then defaults), logs
// one configuration line per value and hands the log its folder first.
RuntimeConfig LoadRuntimeConfig(RuntimeConfigSources* sources = nullptr);

std::string ReadConfigValue(const std::string& key, const std::string& defaultValue,
                            std::string* source = nullptr);
std::string ReadRegistryConfigValue(const std::string& key, const std::string& defaultValue,
                                    std::string* source = nullptr);
// Empty text on any failure; type and size failures are always logged, open and query failures
// only when `logFailures` is set.
std::string ReadRegistryString(RegistryRoot root, const std::string& keyPath,
                               const std::string& valueName, bool logFailures,
                               platform::RegistryView view = platform::RegistryView::k64Bit);
// The configuration key of the installation that holds this module, or empty text. Decided once
// per process.
std::string SelectRegistryKey();
uint32_t ParseUnsigned(std::string_view text);
// Leading decimal integer of a panel dimension; empty, below 1 or out of range gives `fallback`.
int32_t ParsePanelDimension(std::string_view text, int32_t fallback);
// Separators as backslashes, lower case, trailing backslashes removed down to 3 characters.
std::string NormalizePathForCompare(std::string_view path);
// Full path of the file that holds this module.
std::optional<std::string> ModuleFilePath();

// The log folder used when the registry names none, from the values of XDG_STATE_HOME, HOME and
// the temporary folder (each possibly absent): the platform's place for application state.
std::string DefaultLogFolder(const std::optional<std::string>& xdgStateHome,
                             const std::optional<std::string>& home,
                             const std::optional<std::string>& tempPath);
// The original host's rule: ProgramData\Vexmoor\Tolvane\debug, else temp + TolvaneDebug.
std::string DefaultLogFolderWindows(const std::optional<std::string>& programData,
                                    const std::optional<std::string>& tempPath);

// A front-end location given when the session is launched (for example a local console
// page); it wins over the environment and the registry, even when empty. nullopt clears it.
void SetFrontendLaunchOverride(std::optional<std::string> url);

// Test seams: forget the selection, and pretend the module lives elsewhere (nullopt = failure).
void ResetRegistrySelectionForTesting();
void SetModuleFilePathForTesting(std::optional<std::optional<std::string>> path);

}  // namespace vantrel
