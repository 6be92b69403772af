// The field readers over arbitrary text, and the escape/read round trip.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "vantrel/chunk_hash.h"
#include "vantrel/json_field_readers.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const char* key : {"cmd", "data", "mode", "name", "index", "size", "hash", ""}) {
    vantrel::FindJsonStringField(text, key);
    vantrel::FindJsonIntField(text, key);
  }
  vantrel::LooksLikeJson(text);
  Check(vantrel::ChunkHash(text).size() == 8);
  std::string escaped = vantrel::EscapeJsonString(text);
  for (char c : escaped) Check(static_cast<unsigned char>(c) >= 0x20);
  std::optional<std::string> back =
      vantrel::FindJsonStringField("{\"k\":\"" + escaped + "\"}", "k");
  Check(back.has_value() && *back == text);
  size_t pos = 0;
  std::string quoted = "\"" + std::string(text) + "\"";
  vantrel::ReadJsonStringLiteral(quoted, pos);
  return 0;
}
