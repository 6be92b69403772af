// Readers of single fields of a JSON text, without parsing it whole.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// Field readers that search a JSON text instead of parsing it whole. They never fail loudly:
// anything unreadable is "nothing".

// The string value of the first occurrence of "key" that is followed by ':' and a readable
// string literal.
std::optional<std::string> FindJsonStringField(std::string_view text, std::string_view key);
// The integer value at the first key position of "key" (an occurrence followed by ':').
std::optional<int32_t> FindJsonIntField(std::string_view text, std::string_view key);
bool LooksLikeJson(std::string_view text);
// `text` escaped for the inside of a JSON string literal (no surrounding quotes).
std::string EscapeJsonString(std::string_view text);

bool IsJsonWhitespace(char c);
size_t SkipJsonWhitespace(std::string_view text, size_t pos);
// Reads the string literal whose opening quote is at `pos`; on success `pos` ends past the
// closing quote. Accepted escapes: \" \/ \\ \b \f \n \r \t and \uXXXX.
std::optional<std::string> ReadJsonStringLiteral(std::string_view text, size_t& pos);
// Position right after `"key"`, whitespace and ':' (and whitespace) at the occurrence at or
// after `from`; npos when there is none. `occurrence` receives where the key was found.
size_t FindJsonKeyValue(std::string_view text, std::string_view key, size_t from,
                        size_t* occurrence = nullptr);

// Reads several fields of one text with the same answers as the functions above, remembering
// where the long literals it has crossed end: after a chunk's `data` is read, the search for
// a key behind it jumps over the chunk instead of walking it again.
class JsonFieldScanner {
 public:
  explicit JsonFieldScanner(std::string_view text) : text_(text) {}

  std::optional<std::string> StringField(std::string_view key);
  std::optional<int32_t> IntField(std::string_view key);
  // Whether the value at the first key position of "key" is the literal true.
  bool TrueField(std::string_view key);
  size_t KeyValue(std::string_view key, size_t from, size_t* occurrence = nullptr);
  std::optional<std::string> ReadLiteral(size_t& pos);
  // Appends the value StringField(key) reads to `out`, run through the chunk hash from `*hash`
  // when given: decoded straight into place, in one pass. False, with `out` and `*hash` as
  // they were, when there is none.
  bool AppendStringField(std::string_view key, std::string& out, uint32_t* hash = nullptr);
  // The most bytes AppendStringField(key) may need at the end of `out` while it decodes (it
  // gives back what the value does not take); 0 when there is no such key.
  size_t DecodeRoom(std::string_view key);

 private:
  static constexpr size_t kRememberedLiteralBytes = 64;
  struct Span {
    size_t open = 0;
    size_t close = 0;
  };

  size_t LiteralEnd(size_t open);
  size_t KnownLiteralEnd(size_t open) const;
  void Remember(size_t open, size_t close);
  bool AppendLiteral(size_t& pos, std::string& out, uint32_t* hash);
  size_t FindQuotedKey(std::string_view key, size_t from);

  std::string_view text_;
  std::array<Span, 4> spans_{};
  size_t spanCount_ = 0;
  bool decodeAhead_ = true;
};

}  // namespace vantrel
