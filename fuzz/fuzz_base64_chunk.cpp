// Decodes any text as one base64 chunk and compares the outcome with a plain reference decoder.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/step_insertion.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

int Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Straight from the rules: groups of four, fill only at the very end, "x=" never followed by
// anything but "=".
bool Reference(std::string_view text, std::vector<unsigned char>& out) {
  out.clear();
  if (text.empty() || text.size() % 4 != 0) return false;
  size_t fill = 0;
  if (text.back() == '=') fill = text[text.size() - 2] == '=' ? 2 : 1;
  for (size_t i = 0; i < text.size() - fill; ++i) {
    if (Value(text[i]) < 0) return false;
  }
  uint32_t bits = 0;
  int count = 0;
  for (size_t i = 0; i < text.size() - fill; ++i) {
    bits = (bits << 6) | static_cast<uint32_t>(Value(text[i]));
    count += 6;
    if (count >= 8) {
      count -= 8;
      out.push_back(static_cast<unsigned char>(bits >> count));
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<unsigned char> decoded = {1, 2, 3};
  std::vector<unsigned char> expected;
  const bool ok = vantrel::DecodeBase64Chunk(text, decoded);
  Check(ok == Reference(text, expected));
  Check(ok ? decoded == expected : decoded.empty());
  return 0;
}
