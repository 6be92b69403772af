// The result record as one line of JSON.
#pragma once

#include <string>

#include "kestrun/kestrun.h"

namespace kestrun_app {

std::string escapeJson(const char* text);
std::string resultJson(const MardelImportResult& result, const std::string& stepPath,
                       bool stepWritten, const std::string& stepError);

}  // namespace kestrun_app
