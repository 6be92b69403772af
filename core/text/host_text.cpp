#include "text/host_text.h"

#include "platform/text_encoding.h"

namespace kestrun {

std::string toHostText(std::string_view jsonText) {
  try {
    if (platform::IsValidUtf8(jsonText)) return std::string(jsonText);
    return platform::AnsiToUtf8(jsonText);
  } catch (...) {
    return {};
  }
}

}  // namespace kestrun
