// What `kestrun validate` finds in a document: one problem per mistake, each at the JSON
// pointer of the value it concerns, with the id of the item it belongs to and, where a
// near key, value or id exists, the fix.
#pragma once

#include <string>
#include <vector>

namespace kestrun_validate {

struct Problem {
  std::string pointer;     // JSON pointer of the value ("" for the whole document)
  std::string item;        // id of the item it concerns; empty when none
  std::string message;     // what is wrong, in the document's terms
  std::string suggestion;  // the fix, e.g. did you mean "n1Height"?; empty when none
  int line = 0;            // for a text that is not JSON: where the parser stopped
  int column = 0;
  std::string key{};       // the key concerned when the pointer does not end in it (a
                           // required key that is missing); empty otherwise
  std::string expected{};  // what the document should hold there; empty when unknown
};

struct Validation {
  bool readable = true;  // false: no text, or not JSON
  std::vector<Problem> problems;
  bool valid() const { return readable && problems.empty(); }
};

// {"valid": bool, "problems": [{"pointer", "item", "message", "suggestion"[, "line",
// "column"]}]} on one line.
std::string validationJson(const Validation& validation);
// The exit status of `kestrun validate`: 0 valid, 1 problems, 2 unreadable.
int validationExitStatus(const Validation& validation);

// A JSON pointer token: "~" and "/" escaped.
std::string pointerToken(const std::string& key);

}  // namespace kestrun_validate
