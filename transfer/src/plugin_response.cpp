#include "vantrel/plugin_response.h"

#include "vantrel/reply_text.h"

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
  std::string out = "{\"id\":\"" + EscapeJsonReplyString(r.id) + "\",\"type\":\"" +
                    EscapeJsonReplyString(r.type) + "\",\"ok\":" + (r.ok ? "true" : "false");
  // The result and details go in as JSON; one that is not well formed goes in as a string.
  if (r.ok) {
    out +=
        ",\"result\":" + (r.result.empty() ? std::string("{}") : JsonValueOrString(r.result)) + "}";
    return out;
  }
  out += ",\"error\":{\"code\":\"" + EscapeJsonReplyString(r.code) + "\",\"message\":\"" +
         EscapeJsonReplyString(r.message) + "\"";
  if (!r.details.empty()) out += ",\"details\":" + JsonValueOrString(r.details);
  out += "}}";
  return out;
}

}  // namespace vantrel
