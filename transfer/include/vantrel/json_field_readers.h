#pragma once

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

}  // namespace vantrel
