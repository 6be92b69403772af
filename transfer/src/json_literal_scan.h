// Finding where a JSON string literal ends and decoding it, fast on long literals dense with
// escapes (chunk text escaped once or twice).
#pragma once

#include <cstddef>
#include <string_view>

namespace vantrel {

// Position of the quote that closes the literal opened at `pos`, or npos. A backslash takes
// the byte after it as it is.
size_t ClosingQuote(std::string_view text, size_t pos);

// Decodes the inside of the literal whose quotes are at `open` and `close` (as ClosingQuote
// found them) into `out`, which holds close - open - 1 bytes: escapes only shrink the text.
// Returns the end written, or null for an escape outside \" \/ \\ \b \f \n \r \t \uXXXX.
char* DecodeLiteral(std::string_view text, size_t open, size_t close, char* out);

// Whether windows are packed with the processor's byte shuffle where it has one (the default)
// or byte by byte; tests run both.
void UseByteShuffle(bool use);

}  // namespace vantrel
