// What goes into a reply to the front end must be JSON whatever a packet held: texts that
// are echoed are escaped so that the reply is valid UTF-8 JSON, and JSON that is echoed
// as it is must be well formed, or it is echoed as a string instead.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel {

// Whether `text` is one JSON value (RFC 8259) in valid UTF-8, with whitespace around it.
bool IsWellFormedJson(std::string_view text);

// `text` escaped for the inside of a JSON string literal of a reply (no surrounding quotes):
// as EscapeJsonString, and each byte that is not part of a valid UTF-8 character (surrogates
// written out included) becomes \ufffd, as the page's own decoder would show it.
std::string EscapeJsonReplyString(std::string_view text);

// `json` as it is when it is well formed, else as a JSON string holding it.
std::string JsonValueOrString(std::string_view json);

// At most `maxBytes` of `text`, cut before a character that would not fit whole, with "..."
// after it when something was left out: for quoting a front end's text in a message.
std::string BoundQuotedText(std::string_view text, size_t maxBytes);

}  // namespace vantrel
