// The hash that names each chunk of a large transfer.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vantrel {

// FNV-1a 32 of the bytes, as exactly 8 lowercase hexadecimal digits.
std::string ChunkHash(std::string_view text);

// The same hash in steps, for bytes hashed while they are decoded.
constexpr uint32_t kChunkHashSeed = 2166136261u;
inline uint32_t ChunkHashStep(uint32_t hash, const char* begin, const char* end) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  // Eight bytes per load: the byte loads would otherwise crowd out the work meant to run
  // beside the multiply chain.
  for (; end - begin >= 8; begin += 8) {
    uint64_t bytes;
    std::memcpy(&bytes, begin, 8);
    for (int i = 0; i < 8; ++i, bytes >>= 8) {
      hash ^= static_cast<uint32_t>(bytes & 0xFF);
      hash *= 16777619u;
    }
  }
#endif
  for (; begin != end; ++begin) {
    hash ^= static_cast<unsigned char>(*begin);
    hash *= 16777619u;
  }
  return hash;
}
// The 8-digit text of a hash value.
std::string ChunkHashText(uint32_t hash);

}  // namespace vantrel
