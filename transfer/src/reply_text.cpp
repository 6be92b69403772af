#include "vantrel/reply_text.h"

#include <cctype>
#include <cstdint>
#include <vector>

namespace vantrel {
namespace {

// The length of the valid UTF-8 sequence at `pos` (surrogates excluded), 0 when none.
size_t Utf8SequenceLength(std::string_view text, size_t pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (pos + length > text.size()) return 0;
  if (byte(pos + 1) < low || byte(pos + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (byte(pos + i) < 0x80 || byte(pos + i) > 0xBF) return 0;
  }
  return length;
}

void AppendUnicodeEscape(std::string& out, unsigned unit) {
  static const char kHex[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(unit >> shift) & 0xF]);
}

// Appends the escape of an ASCII byte; false for a byte that needs none.
bool AppendAsciiEscape(std::string& out, char c) {
  switch (c) {
    case '"':
      out += "\\\"";
      return true;
    case '\\':
      out += "\\\\";
      return true;
    case '\b':
      out += "\\b";
      return true;
    case '\t':
      out += "\\t";
      return true;
    case '\n':
      out += "\\n";
      return true;
    case '\f':
      out += "\\f";
      return true;
    case '\r':
      out += "\\r";
      return true;
    default:
      if (static_cast<unsigned char>(c) >= 0x20) return false;
      AppendUnicodeEscape(out, static_cast<unsigned char>(c));
      return true;
  }
}

// A strict JSON reader that only says whether the text is one well-formed value. It keeps
// its own stack of open arrays and objects, so no depth makes it recurse.
class JsonChecker {
 public:
  explicit JsonChecker(std::string_view text) : text_(text) {}

  bool Check() {
    SkipWhitespace();
    if (!Value()) return false;
    SkipWhitespace();
    return pos_ == text_.size();
  }

 private:
  bool Value() {
    for (;;) {
      SkipWhitespace();
      if (pos_ >= text_.size()) return false;
      const char c = text_[pos_];
      if (c == '{' || c == '[') {
        open_.push_back(c);
        ++pos_;
        SkipWhitespace();
        if (Peek() == (c == '{' ? '}' : ']')) {
          ++pos_;
          open_.pop_back();
        } else {
          if (c == '{' && !Key()) return false;
          continue;
        }
      } else if (!Scalar()) {
        return false;
      }
      // After a value: close what ends here, or go on with the next member.
      for (;;) {
        if (open_.empty()) return true;
        SkipWhitespace();
        const char next = Peek();
        if (next == ',') {
          ++pos_;
          if (open_.back() == '{' && !Key()) return false;
          break;
        }
        if (next != (open_.back() == '{' ? '}' : ']')) return false;
        ++pos_;
        open_.pop_back();
      }
    }
  }
  // A member's name and its colon.
  bool Key() {
    SkipWhitespace();
    if (Peek() != '"' || !String()) return false;
    SkipWhitespace();
    if (Peek() != ':') return false;
    ++pos_;
    return true;
  }
  bool Scalar() {
    const char c = Peek();
    if (c == '"') return String();
    if (c == '-' || (c >= '0' && c <= '9')) return Number();
    return Word("true") || Word("false") || Word("null");
  }
  bool String() {
    ++pos_;  // the opening quote
    while (pos_ < text_.size()) {
      const auto c = static_cast<unsigned char>(text_[pos_]);
      if (c == '"') {
        ++pos_;
        return true;
      }
      if (c < 0x20) return false;
      if (c == '\\') {
        if (!Escape()) return false;
        continue;
      }
      const size_t length = Utf8SequenceLength(text_, pos_);
      if (length == 0) return false;
      pos_ += length;
    }
    return false;
  }
  bool Escape() {
    if (pos_ + 1 >= text_.size()) return false;
    const char e = text_[pos_ + 1];
    if (e == 'u') {
      if (pos_ + 6 > text_.size()) return false;
      for (size_t i = pos_ + 2; i < pos_ + 6; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(text_[i]))) return false;
      }
      pos_ += 6;
      return true;
    }
    if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) return false;
    pos_ += 2;
    return true;
  }
  bool Number() {
    if (Peek() == '-') ++pos_;
    if (Peek() == '0') {
      ++pos_;
    } else if (!Digits()) {
      return false;
    }
    if (Peek() == '.') {
      ++pos_;
      if (!Digits()) return false;
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++pos_;
      if (Peek() == '+' || Peek() == '-') ++pos_;
      if (!Digits()) return false;
    }
    return true;
  }
  bool Digits() {
    const size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
    return pos_ > start;
  }
  bool Word(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }
  char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
  void SkipWhitespace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                   text_[pos_] == '\n' || text_[pos_] == '\r'))
      ++pos_;
  }

  std::string_view text_;
  size_t pos_ = 0;
  std::vector<char> open_;
};

}  // namespace

bool IsWellFormedJson(std::string_view text) {
  return JsonChecker(text).Check();
}

std::string EscapeJsonReplyString(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8 + 2);
  for (size_t pos = 0; pos < text.size();) {
    const char c = text[pos];
    if (static_cast<unsigned char>(c) < 0x80) {
      if (!AppendAsciiEscape(out, c)) out.push_back(c);
      ++pos;
    } else if (const size_t length = Utf8SequenceLength(text, pos); length > 0) {
      out.append(text.substr(pos, length));
      pos += length;
    } else {
      AppendUnicodeEscape(out, 0xFFFD);
      ++pos;
    }
  }
  return out;
}

std::string JsonValueOrString(std::string_view json) {
  if (IsWellFormedJson(json)) return std::string(json);
  return "\"" + EscapeJsonReplyString(json) + "\"";
}

std::string BoundQuotedText(std::string_view text, size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  size_t cut = maxBytes;
  // Back up over continuation bytes to the start of the character that does not fit.
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return std::string(text.substr(0, cut)) + "...";
}

}  // namespace vantrel
