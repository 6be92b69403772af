#include "vantrel/transfer_mode.h"

namespace vantrel {

std::optional<TransferMode> ParseTransferMode(std::string_view text) {
  if (text == "json") return TransferMode::Json;
  if (text == "jsons") return TransferMode::Jsons;
  if (text == "text") return TransferMode::Text;
  if (text == "texts") return TransferMode::Texts;
  if (text == "base64") return TransferMode::Base64;
  return std::nullopt;
}

}  // namespace vantrel
