// Turns the caller's bytes into a DOM: byte-order mark, NUL end, nesting cap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <rapidjson/document.h>

namespace kestrun {

// No real part comes near this depth; it keeps the recursive parser off the stack's end.
constexpr unsigned kMaxJsonDepth = 512;

struct JsonParseOutcome {
  bool ok = false;
  std::string errorText;  // the parser's English text on failure
  std::size_t offset = 0;
};

// Skips a leading UTF-8 byte-order mark byte by byte (a partial mark goes too).
std::size_t skipByteOrderMark(const unsigned char* bytes, std::size_t size);

JsonParseOutcome parseJsonInput(const unsigned char* bytes, std::uint64_t size,
                                rapidjson::Document& doc);

}  // namespace kestrun
