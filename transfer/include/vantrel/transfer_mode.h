// A transfer's mode, parsed once from the packet's text.
#pragma once

#include <optional>
#include <string_view>

namespace vantrel {

// How a transfer's payload is to be read. Packets name it as text ("json", "jsons", "text",
// "texts", "base64"); it is parsed once and the text kept beside it for messages.
enum class TransferMode {
  Json,
  Jsons,
  Text,
  Texts,
  Base64,
};

// The mode a text names (exact, case-sensitive); nothing for any other text.
std::optional<TransferMode> ParseTransferMode(std::string_view text);

}  // namespace vantrel
