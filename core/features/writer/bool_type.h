// A feature item's "boolType", parsed once so that code switches on it; the writer keeps
// the text as well for the lines that print it.
#pragma once

#include <string_view>

namespace kestrun {

enum class BoolType {
  None,    // absent or empty: the feature stands in the current body
  Add,     // "add": fused into the body before it
  Remove,  // "remove": cut from its target
  Common,  // "common": intersected with its target
  New,     // "new": a body of its own
  Other,   // any other text: combined, but no boolean can be made for it
};

inline BoolType parseBoolType(std::string_view text) {
  if (text.empty()) return BoolType::None;
  if (text == "add") return BoolType::Add;
  if (text == "remove") return BoolType::Remove;
  if (text == "common") return BoolType::Common;
  if (text == "new") return BoolType::New;
  return BoolType::Other;
}

// Whether the feature is built in a body of its own and then combined (or left alone).
inline bool isCombined(BoolType type) {
  return type != BoolType::None && type != BoolType::Add;
}

}  // namespace kestrun
