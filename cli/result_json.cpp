#include "cli/result_json.h"

#include <cstdio>
#include <sstream>

namespace kestrun_app {

std::string escapeJson(const char* text) {
  std::string out;
  for (const char* p = text; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string resultJson(const MardelImportResult& result, const std::string& stepPath,
                       bool stepWritten, const std::string& stepError) {
  std::ostringstream out;
  out << "{\"status\":" << result.status << ",\"errorCode\":" << result.errorCode
      << ",\"hasWarnings\":" << result.hasWarnings << ",\"createdCount\":" << result.createdCount
      << ",\"message\":\"" << escapeJson(result.message) << "\",\"warning\":\""
      << escapeJson(result.warning) << "\",\"step\":\"" << escapeJson(stepPath.c_str())
      << "\",\"stepWritten\":" << (stepWritten ? "true" : "false");
  if (!stepWritten) out << ",\"stepError\":\"" << escapeJson(stepError.c_str()) << "\"";
  out << "}";
  return out.str();
}

}  // namespace kestrun_app
