// Finding where a JSON string literal ends and decoding it, fast on long literals dense with
// escapes (chunk text escaped once or twice).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantrel {

// Position of the quote that closes the literal opened at `pos`, or npos. A backslash takes
// the byte after it as it is.
size_t ClosingQuote(std::string_view text, size_t pos);

// The closing quote of a literal that ends within a few bytes of `open`, else npos.
size_t ShortLiteralClose(std::string_view text, size_t open);

// Decodes the inside of the literal whose quotes are at `open` and `close` (as ClosingQuote
// found them) into `out`, which holds close - open - 1 bytes: escapes only shrink the text.
// Returns the end written, or null for an escape outside \" \/ \\ \b \f \n \r \t \uXXXX.
char* DecodeLiteral(std::string_view text, size_t open, size_t close, char* out);

// What DecodeLiteralToClose found: the closing quote and the end written; `end` is null when
// the literal is unreadable (a bad escape, or the text ends first).
struct DecodedLiteral {
  size_t close = std::string_view::npos;
  char* end = nullptr;
};

// Decodes the literal opened at `open` into `out` (room for text.size() - open - 1 bytes),
// finding its closing quote on the way: one pass where ClosingQuote and DecodeLiteral make
// two. With `hash`, the decoded bytes are also run through the chunk hash as they are
// written; the hash's multiply chain leaves the processor room to decode alongside it.
DecodedLiteral DecodeLiteralToClose(std::string_view text, size_t open, char* out,
                                    uint32_t* hash = nullptr);

// Whether windows are packed with the processor's byte shuffle where it has one (the default)
// or byte by byte; tests run both.
void UseByteShuffle(bool use);

}  // namespace vantrel
