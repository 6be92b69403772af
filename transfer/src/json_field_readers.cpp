#include "vantrel/json_field_readers.h"

#include <cstring>

#include "json_literal_scan.h"
#include "vantrel/chunk_hash.h"

namespace vantrel {
namespace {

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

bool QuotedKeyAt(std::string_view text, std::string_view key, size_t at) {
  return at + key.size() + 2 <= text.size() && text[at] == '"' &&
         text[at + key.size() + 1] == '"' &&
         std::memcmp(text.data() + at + 1, key.data(), key.size()) == 0;
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
  return JsonFieldScanner(text).ReadLiteral(pos);
}

size_t FindJsonKeyValue(std::string_view text, std::string_view key, size_t from,
                        size_t* occurrence) {
  return JsonFieldScanner(text).KeyValue(key, from, occurrence);
}

std::optional<std::string> FindJsonStringField(std::string_view text, std::string_view key) {
  return JsonFieldScanner(text).StringField(key);
}

std::optional<int32_t> FindJsonIntField(std::string_view text, std::string_view key) {
  return JsonFieldScanner(text).IntField(key);
}

size_t JsonFieldScanner::KnownLiteralEnd(size_t open) const {
  for (size_t i = 0; i < spanCount_; ++i) {
    if (spans_[i].open == open) return spans_[i].close;
  }
  return std::string_view::npos;
}

void JsonFieldScanner::Remember(size_t open, size_t close) {
  // Short literals are cheaper to walk again than to look up.
  if (close - open <= kRememberedLiteralBytes || KnownLiteralEnd(open) == close) return;
  spans_[spanCount_ < spans_.size() ? spanCount_++ : spans_.size() - 1] = {open, close};
}

size_t JsonFieldScanner::LiteralEnd(size_t open) {
  if (const size_t known = KnownLiteralEnd(open); known != std::string_view::npos) return known;
  const size_t close = ClosingQuote(text_, open);
  if (close != std::string_view::npos) Remember(open, close);
  return close;
}

// The first `"key"` at or after `from`. Each quote is taken as the opening of a literal and
// the search resumes at the quote that closes it: inside, every quote follows a backslash,
// so no `"key"` can start there except one ending at the closing quote itself.
size_t JsonFieldScanner::FindQuotedKey(std::string_view key, size_t from) {
  const size_t span = key.size() + 2;
  const char* base = text_.data();
  if (!key.empty() && (key.find('"') != std::string_view::npos || key.back() == '\\')) {
    // Such a key could sit across a closing quote; look at every position.
    for (size_t at = from; at + span <= text_.size(); ++at) {
      if (QuotedKeyAt(text_, key, at)) return at;
    }
    return std::string_view::npos;
  }
  size_t at = from;
  while (at < text_.size()) {
    const void* found = std::memchr(base + at, '"', text_.size() - at);
    if (found == nullptr) return std::string_view::npos;
    const size_t open = static_cast<size_t>(static_cast<const char*>(found) - base);
    if (QuotedKeyAt(text_, key, open)) return open;
    const size_t close = LiteralEnd(open);
    if (close == std::string_view::npos) return std::string_view::npos;
    if (close + 1 > open + span && QuotedKeyAt(text_, key, close + 1 - span)) {
      return close + 1 - span;
    }
    at = close;
  }
  return std::string_view::npos;
}

size_t JsonFieldScanner::KeyValue(std::string_view key, size_t from, size_t* occurrence) {
  for (size_t at = FindQuotedKey(key, from); at != std::string_view::npos;
       at = FindQuotedKey(key, at + 1)) {
    size_t pos = SkipJsonWhitespace(text_, at + key.size() + 2);
    if (pos < text_.size() && text_[pos] == ':') {
      if (occurrence != nullptr) *occurrence = at;
      return SkipJsonWhitespace(text_, pos + 1);
    }
  }
  return std::string_view::npos;
}

// A literal whose end is known is decoded into exactly its room; a long one whose end is not
// is decoded while its end is looked for, into the room the rest of the text could need.
bool JsonFieldScanner::AppendLiteral(size_t& pos, std::string& out, uint32_t* hash) {
  if (pos >= text_.size() || text_[pos] != '"') return false;
  size_t close = KnownLiteralEnd(pos);
  if (close == std::string_view::npos) close = ShortLiteralClose(text_, pos);
  // Once a literal decoded ahead of its end has proved unreadable, the others are measured
  // first: a text of many long unreadable values must not cost the rest of the text each.
  if (close == std::string_view::npos && !decodeAhead_) {
    close = LiteralEnd(pos);
    if (close == std::string_view::npos) return false;
  }
  const size_t before = out.size();
  out.resize(before + (close != std::string_view::npos ? close : text_.size()) - pos - 1);
  char* const start = out.data() + before;
  uint32_t hashed = hash != nullptr ? *hash : 0;
  DecodedLiteral decoded{close, nullptr};
  if (close != std::string_view::npos) {
    decoded.end = DecodeLiteral(text_, pos, close, start);
    if (decoded.end != nullptr && hash != nullptr) {
      hashed = ChunkHashStep(hashed, start, decoded.end);
    }
  } else {
    decoded = DecodeLiteralToClose(text_, pos, start, hash != nullptr ? &hashed : nullptr);
  }
  if (decoded.end == nullptr) {
    out.resize(before);
    decodeAhead_ = false;
    return false;
  }
  Remember(pos, decoded.close);
  out.resize(static_cast<size_t>(decoded.end - out.data()));
  if (hash != nullptr) *hash = hashed;
  pos = decoded.close + 1;
  return true;
}

std::optional<std::string> JsonFieldScanner::ReadLiteral(size_t& pos) {
  std::string out;
  if (!AppendLiteral(pos, out, nullptr)) return std::nullopt;
  return out;
}

std::optional<std::string> JsonFieldScanner::StringField(std::string_view key) {
  std::string out;
  if (!AppendStringField(key, out)) return std::nullopt;
  return out;
}

bool JsonFieldScanner::AppendStringField(std::string_view key, std::string& out, uint32_t* hash) {
  size_t occurrence = 0;
  for (size_t from = 0;; from = occurrence + 1) {
    size_t pos = KeyValue(key, from, &occurrence);
    if (pos == std::string_view::npos) return false;
    if (AppendLiteral(pos, out, hash)) return true;
  }
}

size_t JsonFieldScanner::DecodeRoom(std::string_view key) {
  const size_t pos = KeyValue(key, 0);
  return pos == std::string_view::npos ? 0 : text_.size() - pos;
}

std::optional<int32_t> JsonFieldScanner::IntField(std::string_view key) {
  size_t pos = KeyValue(key, 0);
  if (pos == std::string_view::npos) return std::nullopt;
  return ReadInt32(text_, pos);
}

bool JsonFieldScanner::TrueField(std::string_view key) {
  const size_t pos = KeyValue(key, 0);
  if (pos == std::string_view::npos || text_.compare(pos, 4, "true") != 0) return false;
  const size_t end = SkipJsonWhitespace(text_, pos + 4);
  return end >= text_.size() || text_[end] == ',' || text_[end] == '}';
}

bool LooksLikeJson(std::string_view text) {
  size_t pos = SkipJsonWhitespace(text, 0);
  if (pos >= text.size()) return false;
  char c = text[pos];
  return c == '{' || c == '[' || c == '"' || c == '-' || (c >= '0' && c <= '9') || c == 't' ||
         c == 'f' || c == 'n';
}

std::string EscapeJsonString(std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size() + text.size() / 8 + 2);
  for (char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          // Raw control characters would make the reply invalid JSON.
          out += "\\u00";
          out.push_back(kHex[(c >> 4) & 0xF]);
          out.push_back(kHex[c & 0xF]);
        } else {
          out.push_back(c);
        }
    }
  }
  return out;
}

}  // namespace vantrel
