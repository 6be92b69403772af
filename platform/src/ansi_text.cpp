#include "platform/text_encoding.h"

namespace platform {

// The host's ANSI code page, as the original's western installations have it.
std::string AnsiToUtf8(std::string_view text) {
  return Windows1252ToUtf8(text);
}

}  // namespace platform
