#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

// FNV-1a 32 of the bytes, as exactly 8 lowercase hexadecimal digits.
std::string ChunkHash(std::string_view text);

// The same hash in steps, for bytes hashed while they are decoded.
constexpr uint32_t kChunkHashSeed = 2166136261u;
inline uint32_t ChunkHashStep(uint32_t hash, const char* begin, const char* end) {
  for (; begin != end; ++begin) {
    hash ^= static_cast<unsigned char>(*begin);
    hash *= 16777619u;
  }
  return hash;
}
// The 8-digit text of a hash value.
std::string ChunkHashText(uint32_t hash);

}  // namespace vantrel
