#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// FNV-1a 32 of the bytes, as exactly 8 lowercase hexadecimal digits.
std::string ChunkHash(std::string_view text);

}  // namespace vantrel
