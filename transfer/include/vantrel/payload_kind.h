// What a JSON payload describes (part or product), told from its text.
#pragma once

#include <cstdint>
#include <string_view>

namespace vantrel {

// What a JSON payload describes, told from its text alone (no parsing).
enum class PayloadKind : int32_t {
  PartAuto = 0,
  PartSequences = 1,
  Product = 2,
};

// Product when the text holds the quoted key "partList", else PartSequences when it holds
// "sequences", else PartAuto. The key counts wherever it occurs, also inside a string value.
PayloadKind DetectPayloadKind(std::string_view json);

// The document type a payload is drawn into: "Product" for Product, "Part" otherwise.
const char* DocumentTypeFor(PayloadKind kind);

}  // namespace vantrel
