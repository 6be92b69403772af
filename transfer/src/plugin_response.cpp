#include "vantrel/plugin_response.h"

#include "vantrel/json_field_readers.h"

namespace vantrel {

PluginResponse MakeOkPluginResponse(const std::string& id, const std::string& result) {
  PluginResponse response;
  response.id = id;
  response.ok = true;
  response.result = result;
  return response;
}

PluginResponse MakeErrorPluginResponse(const std::string& id, const std::string& code,
                                       const std::string& message, const std::string& details) {
  PluginResponse response;
  response.id = id;
  response.code = code;
  response.message = message;
  response.details = details;
  return response;
}

std::string SerializePluginResponse(const PluginResponse& r) {
  std::string out = "{\"id\":\"" + EscapeJsonString(r.id) + "\",\"type\":\"" +
                    EscapeJsonString(r.type) + "\",\"ok\":" + (r.ok ? "true" : "false");
  if (r.ok) {
    out += ",\"result\":" + (r.result.empty() ? std::string("{}") : r.result) + "}";
    return out;
  }
  out += ",\"error\":{\"code\":\"" + EscapeJsonString(r.code) + "\",\"message\":\"" +
         EscapeJsonString(r.message) + "\"";
  if (!r.details.empty()) out += ",\"details\":" + r.details;
  out += "}}";
  return out;
}

}  // namespace vantrel
