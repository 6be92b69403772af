// Reading the document's text as strict JSON, as the core reads it; when it is not JSON,
// where and why: line, column, the pointer of the value being read, and the likely fix.
#pragma once

#include <string_view>

#include <rapidjson/document.h>

#include "cli/validate/problem.h"

namespace kestrun_validate {

// Parses `text` into `document` without recursion (a text nested a million deep must not
// exhaust the stack); false with the problem when it is not JSON.
bool parseStrict(std::string_view text, rapidjson::Document& document, Problem& problem);

}  // namespace kestrun_validate
