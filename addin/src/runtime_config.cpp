#include "vantrel/runtime_config.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/environment.h"
#include "platform/temp_files.h"
#include "vantrel/diagnostic_log.h"

namespace vantrel {
namespace {

constexpr char kComponent[] = "runtime.config";
constexpr uint32_t kRegistryBufferBytes = 4096;

void Log(const std::string& message) {
  WriteLog(kLogInfo, kComponent, message);
}

void LogConfigLine(const std::string& key, const char* source, const std::string& value) {
  Log("config " + key + " source=" + source + " value=" + value);
}

// Set and non-empty; an empty variable counts as unset.
std::optional<std::string> NonEmptyEnv(const std::string& name) {
  std::optional<std::string> value = platform::GetEnv(name);
  if (!value || value->empty()) return std::nullopt;
  return value;
}

std::optional<std::string>& FrontendLaunchOverride() {
  static std::optional<std::string> url;
  return url;
}

bool IsBlank(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string FromRegistryOrDefault(const std::string& key, const std::string& defaultValue,
                                  std::string* source) {
  std::string selected = SelectRegistryKey();
  std::string value;
  if (!selected.empty())
    value = ReadRegistryString(RegistryRoot::kLocalMachine, selected, key, true);
  const char* word = value.empty() ? "default" : "registry";
  if (value.empty()) value = defaultValue;
  LogConfigLine(key, word, value);
  if (source != nullptr) *source = word;
  return value;
}

std::string FormatLine(const char* format, const std::string& a, const std::string& b, long code) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, format, a.c_str(), b.c_str(), code);
  return buffer;
}

std::string FormatShortLine(const char* format, const std::string& name, unsigned long number) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, format, name.c_str(), number);
  return buffer;
}

bool IsAbsolute(const std::optional<std::string>& path) {
  return path && !path->empty() && path->front() == '/';
}

}  // namespace

std::string ReadConfigValue(const std::string& key, const std::string& defaultValue,
                            std::string* source) {
  if (std::optional<std::string> env = NonEmptyEnv(key)) {
    LogConfigLine(key, "environment", *env);
    if (source != nullptr) *source = "environment";
    return *env;
  }
  return FromRegistryOrDefault(key, defaultValue, source);
}

std::string ReadRegistryConfigValue(const std::string& key, const std::string& defaultValue,
                                    std::string* source) {
  return FromRegistryOrDefault(key, defaultValue, source);
}

std::string ReadRegistryString(RegistryRoot, const std::string& keyPath,
                               const std::string& valueName, bool logFailures,
                               platform::RegistryView view) {
  platform::RegistryKey key;
  long status = platform::RegistryKey::OpenLocalMachine(keyPath, view, &key);
  if (status != platform::kErrorSuccess) {
    if (logFailures) {
      Log(FormatLine("registry query failed for %s at %s: RegOpenKeyExA=%ld", valueName, keyPath,
                     status));
    }
    return "";
  }
  uint32_t type = 0;
  uint32_t size = 0;
  std::string bytes;
  status = key.QueryValue(valueName, kRegistryBufferBytes, &type, &bytes, &size);
  key.Close();
  if (status != platform::kErrorSuccess) {
    if (logFailures) {
      Log(FormatLine("registry query failed for %s at %s: RegQueryValueExA=%ld", valueName, keyPath,
                     status));
    }
    return "";
  }
  if (type != platform::kRegSz && type != platform::kRegExpandSz) {
    Log(FormatShortLine("registry query failed for %s: unexpected type=%lu", valueName, type));
    return "";
  }
  if (size < 1 || size > kRegistryBufferBytes) {
    Log(FormatShortLine("registry query failed for %s: invalid size=%lu", valueName, size));
    return "";
  }
  bytes.resize(size == kRegistryBufferBytes ? kRegistryBufferBytes - 1 : size);
  return bytes.substr(0, bytes.find('\0'));  // the stored text ends at its terminator
}

uint32_t ParseUnsigned(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i == text.size() || text[i] == '-') return 0;
  std::string rest(text.substr(i));
  errno = 0;
  char* end = nullptr;
  unsigned long long value = std::strtoull(rest.c_str(), &end, 10);
  if (end == rest.c_str() || errno == ERANGE || value > UINT32_MAX) return 0;
  // strtoull also reads the NUL-free copy only; embedded zero bytes count as trailing garbage.
  size_t used = static_cast<size_t>(end - rest.c_str());
  for (size_t k = used; k < rest.size(); ++k) {
    if (!IsBlank(rest[k])) return 0;
  }
  if (value == 0 || value == UINT32_MAX) return 0;
  return static_cast<uint32_t>(value);
}

int32_t ParsePanelDimension(std::string_view text, int32_t fallback) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  bool digits = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    digits = true;
    value = value * 10 + (text[i] - '0');
    if (value > INT32_MAX) return fallback;  // too large to be a size in pixels
  }
  if (!digits || negative || value < 1) return fallback;
  return static_cast<int32_t>(value);
}

std::string DefaultLogFolder(const std::optional<std::string>& xdgStateHome,
                             const std::optional<std::string>& home,
                             const std::optional<std::string>& tempPath) {
  // Relative XDG values are to be ignored, so a stray setting never scatters logs.
  if (IsAbsolute(xdgStateHome)) return *xdgStateHome + "/tolvane/debug";
  if (IsAbsolute(home)) return *home + "/.local/state/tolvane/debug";
  if (tempPath && !tempPath->empty()) {
    std::string folder = *tempPath;
    if (folder.back() != '/') folder.push_back('/');
    return folder + "TolvaneDebug";
  }
  return "./TolvaneDebug";
}

std::string DefaultLogFolderWindows(const std::optional<std::string>& programData,
                                    const std::optional<std::string>& tempPath) {
  if (programData && !programData->empty() && programData->size() < 260) {
    return *programData + "\\Vexmoor\\Tolvane\\debug";
  }
  if (tempPath && !tempPath->empty() && tempPath->size() < 260) return *tempPath + "TolvaneDebug";
  return ".\\TolvaneDebug";
}

RuntimeConfig LoadRuntimeConfig(RuntimeConfigSources* sources) {
  RuntimeConfigSources local;
  RuntimeConfigSources& src = sources != nullptr ? *sources : local;
  RuntimeConfig config;
  const std::string logKey = "TOLVANE_DEBUG_LOG_PATH";
  std::string selected = SelectRegistryKey();
  config.debugLogFolder =
      selected.empty() ? ""
                       : ReadRegistryString(RegistryRoot::kLocalMachine, selected, logKey, true);
  src.debugLogFolder = config.debugLogFolder.empty() ? "default" : "registry";
  if (config.debugLogFolder.empty()) {
#if defined(_WIN32)
    config.debugLogFolder =
        DefaultLogFolderWindows(platform::GetEnv("ProgramData"), platform::TempPath());
#else
    config.debugLogFolder = DefaultLogFolder(platform::GetEnv("XDG_STATE_HOME"),
                                             platform::GetEnv("HOME"), platform::TempPath());
#endif
  }
  SetLogFolder(config.debugLogFolder);
  LogConfigLine(logKey, src.debugLogFolder.c_str(), config.debugLogFolder);

  if (const std::optional<std::string>& launch = FrontendLaunchOverride()) {
    config.frontendUrl = *launch;
    src.frontendUrl = "launch-override";
    LogConfigLine("TOLVANE_WEBVIEW_URL", "launch-override", *launch);
  } else {
    config.frontendUrl =
        ReadConfigValue("TOLVANE_WEBVIEW_URL", kDefaultFrontendUrl, &src.frontendUrl);
  }
  std::string delay;
  if (std::optional<std::string> override = NonEmptyEnv("TOLVANE_DRAW_DELAY_OVERRIDE")) {
    delay = *override;
    src.drawDelayMs = "launch-override";
    LogConfigLine("TOLVANE_DRAW_DELAY", "launch-override", delay);
  } else {
    delay = ReadRegistryConfigValue("TOLVANE_DRAW_DELAY", "0", &src.drawDelayMs);
  }
  config.drawDelayMs = ParseUnsigned(delay);
  config.panelWidth = ParsePanelDimension(
      ReadConfigValue("TOLVANE_PANEL_WIDTH", "", &src.panelWidth), kDefaultPanelWidth);
  config.panelHeight = ParsePanelDimension(
      ReadConfigValue("TOLVANE_PANEL_HEIGHT", "", &src.panelHeight), kDefaultPanelHeight);
  config.iconName = ReadConfigValue("TOLVANE_ICON_NAME", "AIAvatar", &src.iconName);
  std::string autoOpen = ReadConfigValue("TOLVANE_AUTO_OPEN_PANEL", "off", &src.autoOpenPanel);
  config.autoOpenPanel = autoOpen == "on" || autoOpen == "ON";
  return config;
}

void SetFrontendLaunchOverride(std::optional<std::string> url) {
  FrontendLaunchOverride() = std::move(url);
}

}  // namespace vantrel
