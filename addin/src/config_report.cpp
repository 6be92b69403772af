#include "vantrel/config_report.h"

namespace vantrel {
namespace {

std::string Line(const char* name, const std::string& value, const std::string& source) {
  return std::string("name=") + name + " value=" + value + " source=" + source;
}

}  // namespace

std::vector<std::string> DescribeRuntimeConfig(const RuntimeConfig& c,
                                               const RuntimeConfigSources& s) {
  return {Line("debugLogFolder", c.debugLogFolder, s.debugLogFolder),
          Line("frontendUrl", c.frontendUrl, s.frontendUrl),
          Line("drawDelayMs", std::to_string(c.drawDelayMs), s.drawDelayMs),
          Line("panelWidth", std::to_string(c.panelWidth), s.panelWidth),
          Line("panelHeight", std::to_string(c.panelHeight), s.panelHeight),
          Line("iconName", c.iconName, s.iconName),
          Line("autoOpenPanel", c.autoOpenPanel ? "true" : "false", s.autoOpenPanel)};
}

std::vector<std::string> DescribeRuntimeConfig() {
  RuntimeConfigSources sources;
  RuntimeConfig config = LoadRuntimeConfig(&sources);
  return DescribeRuntimeConfig(config, sources);
}

}  // namespace vantrel
