#include "vantrel/chunk_hash.h"

#include <cstdint>

namespace vantrel {

std::string ChunkHash(std::string_view text) {
  uint32_t hash = 2166136261u;
  for (char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  static const char kHex[] = "0123456789abcdef";
  std::string out(8, '0');
  for (int i = 7; i >= 0; --i, hash >>= 4) out[i] = kHex[hash & 0xF];
  return out;
}

}  // namespace vantrel
