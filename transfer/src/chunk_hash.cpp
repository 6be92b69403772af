#include "vantrel/chunk_hash.h"

namespace vantrel {

std::string ChunkHashText(uint32_t hash) {
  static const char kHex[] = "0123456789abcdef";
  std::string out(8, '0');
  for (int i = 7; i >= 0; --i, hash >>= 4) out[i] = kHex[hash & 0xF];
  return out;
}

std::string ChunkHash(std::string_view text) {
  return ChunkHashText(ChunkHashStep(kChunkHashSeed, text.data(), text.data() + text.size()));
}

}  // namespace vantrel
