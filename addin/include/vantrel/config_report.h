// The add-in's runtime configuration described line by line, for `vantrel config`.
#pragma once

#include <string>
#include <vector>

#include "vantrel/runtime_config.h"

namespace vantrel {

// One line per RuntimeConfig field: "name=<field> value=<value> source=<source>".
std::vector<std::string> DescribeRuntimeConfig(const RuntimeConfig& config,
                                               const RuntimeConfigSources& sources);
// Loads the configuration as the add-in does (which also writes its log lines) and describes it.
std::vector<std::string> DescribeRuntimeConfig();

}  // namespace vantrel
