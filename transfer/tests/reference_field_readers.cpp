// The field readers written a second way, sharing nothing with the ones under test: keys by a
// plain substring search, integers by strtol and string literals decoded by RapidJSON. The
// readers are more lenient than strict JSON in two ways, and only those two are spelled out
// here: raw control bytes are taken as they are, and a \u escape of a surrogate that is not
// half of a pair reads as U+FFFD.
#include "reference_field_readers.h"

#include <rapidjson/document.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace reference {
namespace {

constexpr std::string_view kJsonWhitespace = " \t\r\n";
constexpr size_t npos = std::string_view::npos;

// The quote closing the literal opened at `open`: the first quote after it with an even number
// of backslashes right before it.
size_t ClosingQuote(std::string_view text, size_t open) {
  for (size_t quote = text.find('"', open + 1); quote != npos; quote = text.find('"', quote + 1)) {
    size_t backslashes = 0;
    while (quote - backslashes > open + 1 && text[quote - backslashes - 1] == '\\') ++backslashes;
    if (backslashes % 2 == 0) return quote;
  }
  return npos;
}

// The value of the escape "\uXXXX" starting at `at` in `body`, if there is one.
std::optional<unsigned long> EscapedUnit(std::string_view body, size_t at) {
  if (at + 6 > body.size() || body.compare(at, 2, "\\u") != 0) return std::nullopt;
  const std::string hex(body.substr(at + 2, 4));
  for (char c : hex) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
  }
  return std::strtoul(hex.c_str(), nullptr, 16);
}

bool IsSurrogate(unsigned long unit) {
  return unit >= 0xD800 && unit <= 0xDFFF;
}

// The literal's inside as a strict JSON string: raw control bytes escaped, lone surrogates
// replaced by U+FFFD. Everything else goes to RapidJSON as it is, to be accepted or refused.
std::string StrictLiteral(std::string_view body) {
  std::string strict = "\"";
  for (size_t i = 0; i < body.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(body[i]);
    if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      strict += escaped;
      continue;
    }
    if (c != '\\') {
      strict += body[i];
      continue;
    }
    const std::optional<unsigned long> unit = EscapedUnit(body, i);
    if (!unit || !IsSurrogate(*unit)) {
      strict += body.substr(i, 2);  // the escape's two bytes; RapidJSON judges them
      ++i;
      continue;
    }
    const std::optional<unsigned long> low = EscapedUnit(body, i + 6);
    if (*unit < 0xDC00 && low && *low >= 0xDC00 && IsSurrogate(*low)) {
      strict += body.substr(i, 12);
      i += 11;
    } else {
      strict += "\\uFFFD";
      i += 5;
    }
  }
  return strict + "\"";
}

}  // namespace

std::optional<std::string> ReadJsonStringLiteral(std::string_view text, size_t& pos) {
  if (pos >= text.size() || text[pos] != '"') return std::nullopt;
  const size_t close = ClosingQuote(text, pos);
  if (close == npos) return std::nullopt;
  const std::string strict = StrictLiteral(text.substr(pos + 1, close - pos - 1));
  rapidjson::Document document;
  document.Parse(strict.data(), strict.size());
  if (document.HasParseError() || !document.IsString()) return std::nullopt;
  pos = close + 1;
  return std::string(document.GetString(), document.GetStringLength());
}

size_t FindJsonKeyValue(std::string_view text, std::string_view key, size_t from,
                        size_t* occurrence) {
  const std::string quoted = "\"" + std::string(key) + "\"";
  for (size_t at = text.find(quoted, from); at != npos; at = text.find(quoted, at + 1)) {
    const size_t colon = text.find_first_not_of(kJsonWhitespace, at + quoted.size());
    if (colon == npos || text[colon] != ':') continue;
    if (occurrence != nullptr) *occurrence = at;
    const size_t value = text.find_first_not_of(kJsonWhitespace, colon + 1);
    return value == npos ? text.size() : value;
  }
  return npos;
}

std::optional<std::string> FindJsonStringField(std::string_view text, std::string_view key) {
  size_t occurrence = 0;
  for (size_t from = 0;; from = occurrence + 1) {
    size_t pos = FindJsonKeyValue(text, key, from, &occurrence);
    if (pos == npos) return std::nullopt;
    if (std::optional<std::string> value = ReadJsonStringLiteral(text, pos)) return value;
  }
}

// The integer as strtol reads it in base 10, within 32 bits.
std::optional<int32_t> FindJsonIntField(std::string_view text, std::string_view key) {
  const size_t pos = FindJsonKeyValue(text, key, 0);
  if (pos == npos) return std::nullopt;
  const std::string rest(text.substr(pos));
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(rest.c_str(), &end, 10);
  if (end == rest.c_str() || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) {
    return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

}  // namespace reference
