#include <array>

#include "vantrel/step_insertion.h"

namespace vantrel {
namespace {

constexpr unsigned char kInvalid = 0xFF;
constexpr unsigned char kFill = 0xFE;

constexpr std::array<unsigned char, 256> MakeTable() {
  std::array<unsigned char, 256> table{};
  for (auto& entry : table) entry = kInvalid;
  const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  for (unsigned char i = 0; i < 64; ++i) table[static_cast<unsigned char>(alphabet[i])] = i;
  table[static_cast<unsigned char>('=')] = kFill;
  return table;
}

constexpr std::array<unsigned char, 256> kTable = MakeTable();

}  // namespace

bool DecodeBase64Chunk(std::string_view text, std::vector<unsigned char>& bytes) {
  bytes.clear();
  if (text.empty() || text.size() % 4 != 0) return false;
  bytes.resize(text.size() / 4 * 3);
  unsigned char* out = bytes.data();
  const size_t groups = text.size() / 4;
  for (size_t g = 0; g < groups; ++g) {
    const auto* in = reinterpret_cast<const unsigned char*>(text.data()) + g * 4;
    const unsigned char a = kTable[in[0]], b = kTable[in[1]], c = kTable[in[2]], d = kTable[in[3]];
    if (a >= 64 || b >= 64 || c == kInvalid || d == kInvalid) {
      bytes.clear();
      return false;
    }
    const bool last = g + 1 == groups;
    // Fill only in the last group, and a filled third character needs a filled fourth.
    if ((c == kFill || d == kFill) && (!last || (c == kFill && d != kFill))) {
      bytes.clear();
      return false;
    }
    *out++ = static_cast<unsigned char>(a << 2 | b >> 4);
    if (c == kFill) break;
    *out++ = static_cast<unsigned char>(b << 4 | c >> 2);
    if (d == kFill) break;
    *out++ = static_cast<unsigned char>(c << 6 | d);
  }
  bytes.resize(static_cast<size_t>(out - bytes.data()));
  return true;
}

}  // namespace vantrel
