// The field readers as first written: one plain byte loop per scan. The fast readers must
// answer exactly as these do on any text.
#include "reference_field_readers.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <cstring>

namespace reference {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<uint32_t> ReadHex4(std::string_view text, size_t pos) {
  if (pos + 4 > text.size()) return std::nullopt;
  uint32_t value = 0;
  for (size_t i = pos; i < pos + 4; ++i) {
    int digit = HexValue(text[i]);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return value;
}

// Writes `cp` as UTF-8 at `out` and returns the end; surrogates and out-of-range values become
// U+FFFD.
char* EncodeUtf8(uint32_t cp, char* out) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    *out++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out++ = static_cast<char>(0xC0 | (cp >> 6));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (cp >> 12));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (cp >> 18));
    *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

// A \u escape at `pos` (on the backslash); a high surrogate followed by an escaped low surrogate
// makes one code point, so text sent as escaped UTF-16 arrives as valid UTF-8. Never writes
// more bytes than it consumes.
bool ReadUnicodeEscape(std::string_view text, size_t& pos, char*& out) {
  std::optional<uint32_t> unit = ReadHex4(text, pos + 2);
  if (!unit) return false;
  pos += 6;
  uint32_t cp = *unit;
  if (cp >= 0xD800 && cp <= 0xDBFF && pos + 1 < text.size() && text[pos] == '\\' &&
      text[pos + 1] == 'u') {
    std::optional<uint32_t> low = ReadHex4(text, pos + 2);
    if (low && *low >= 0xDC00 && *low <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (*low - 0xDC00);
      pos += 6;
    }
  }
  out = EncodeUtf8(cp, out);
  return true;
}

// Position of the quote that closes the literal opened at `pos`, or npos.
size_t ClosingQuote(std::string_view text, size_t pos) {
  for (size_t i = pos + 1; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
    } else if (text[i] == '"') {
      return i;
    }
  }
  return std::string_view::npos;
}

char SimpleEscape(char c) {
  switch (c) {
    case '"':
      return '"';
    case '/':
      return '/';
    case '\\':
      return '\\';
    case 'b':
      return '\b';
    case 'f':
      return '\f';
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case 't':
      return '\t';
    default:
      return '\0';
  }
}

bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Base-10 integer as strtol reads it, limited to 32 bits.
std::optional<int32_t> ReadInt32(std::string_view text, size_t pos) {
  while (pos < text.size() && IsCSpace(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  int64_t value = 0;
  size_t digits = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos, ++digits) {
    value = value * 10 + (text[pos] - '0');
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (digits == 0) return std::nullopt;
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

// Position of `"key"` at or after `from`. Packets are full of quotes, so each candidate quote is
// checked in place rather than through a general substring search.
size_t FindQuotedKey(std::string_view text, std::string_view key, size_t from) {
  const size_t span = key.size() + 2;
  if (text.size() < span) return std::string_view::npos;
  const char* base = text.data();
  for (size_t at = from; at + span <= text.size(); ++at) {
    if (base[at] == '"' && base[at + span - 1] == '"' &&
        std::memcmp(base + at + 1, key.data(), key.size()) == 0) {
      return at;
    }
  }
  return std::string_view::npos;
}

}  // namespace

bool IsJsonWhitespace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

size_t SkipJsonWhitespace(std::string_view text, size_t pos) {
  while (pos < text.size() && IsJsonWhitespace(text[pos])) ++pos;
  return pos;
}

std::optional<std::string> ReadJsonStringLiteral(std::string_view text, size_t& pos) {
  if (pos >= text.size() || text[pos] != '"') return std::nullopt;
  const size_t close = ClosingQuote(text, pos);
  if (close == std::string_view::npos) return std::nullopt;
  // Escapes only shrink the text, so the literal's length bounds the result.
  std::string out(close - pos - 1, '\0');
  char* write = out.data();
  size_t i = pos + 1;
  while (i < close) {
    char c = text[i];
    if (c != '\\') {
      *write++ = c;
      ++i;
    } else if (text[i + 1] == 'u') {
      if (!ReadUnicodeEscape(text.substr(0, close), i, write)) return std::nullopt;
    } else {
      char simple = SimpleEscape(text[i + 1]);
      if (simple == '\0') return std::nullopt;
      *write++ = simple;
      i += 2;
    }
  }
  out.resize(static_cast<size_t>(write - out.data()));
  pos = close + 1;
  return out;
}

size_t FindJsonKeyValue(std::string_view text, std::string_view key, size_t from,
                        size_t* occurrence) {
  for (size_t at = FindQuotedKey(text, key, from); at != std::string_view::npos;
       at = FindQuotedKey(text, key, at + 1)) {
    size_t pos = SkipJsonWhitespace(text, at + key.size() + 2);
    if (pos < text.size() && text[pos] == ':') {
      if (occurrence != nullptr) *occurrence = at;
      return SkipJsonWhitespace(text, pos + 1);
    }
  }
  return std::string_view::npos;
}

std::optional<std::string> FindJsonStringField(std::string_view text, std::string_view key) {
  size_t occurrence = 0;
  for (size_t from = 0;; from = occurrence + 1) {
    size_t pos = FindJsonKeyValue(text, key, from, &occurrence);
    if (pos == std::string_view::npos) return std::nullopt;
    if (std::optional<std::string> value = ReadJsonStringLiteral(text, pos)) return value;
  }
}

std::optional<int32_t> FindJsonIntField(std::string_view text, std::string_view key) {
  size_t pos = FindJsonKeyValue(text, key, 0);
  if (pos == std::string_view::npos) return std::nullopt;
  return ReadInt32(text, pos);
}

}  // namespace reference
