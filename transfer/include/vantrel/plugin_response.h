// The "plugin:response" envelope and its JSON text.
#pragma once

#include <string>

namespace vantrel {

// The "plugin:response" envelope answered to front-end requests.
struct PluginResponse {
  std::string id;
  std::string type = "plugin:response";
  bool ok = false;
  std::string result;  // JSON text, for ok
  std::string code;
  std::string message;
  std::string details;  // JSON text, optional, for not ok
};

PluginResponse MakeOkPluginResponse(const std::string& id, const std::string& result);
PluginResponse MakeErrorPluginResponse(const std::string& id, const std::string& code,
                                       const std::string& message, const std::string& details = "");
std::string SerializePluginResponse(const PluginResponse& response);

}  // namespace vantrel
