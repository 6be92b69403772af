#include "vantrel/payload_kind.h"

namespace vantrel {

PayloadKind DetectPayloadKind(std::string_view json) {
  if (json.find("\"partList\"") != std::string_view::npos) return PayloadKind::Product;
  if (json.find("\"sequences\"") != std::string_view::npos) return PayloadKind::PartSequences;
  return PayloadKind::PartAuto;
}

const char* DocumentTypeFor(PayloadKind kind) {
  return kind == PayloadKind::Product ? "Product" : "Part";
}

}  // namespace vantrel
