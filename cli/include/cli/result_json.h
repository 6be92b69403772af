// The result record as one line of JSON.
#pragma once

#include <string>

#include "kestrun/kestrun.h"

namespace kestrun_app {

// Exit status of `kestrun draw` when the import went through but a file asked for (STEP,
// glTF, STL, the report, the result record itself) could not be written.
constexpr int kOutputNotWritten = 3;

std::string escapeJson(const char* text);
std::string resultJson(const MardelImportResult& result, const std::string& stepPath,
                       bool stepWritten, const std::string& stepError);

}  // namespace kestrun_app
