// Result codes of host calls. They keep the numeric values of the original
// platform's result codes because those numbers appear in messages and logs.
#pragma once

#include <cstdint>
#include <string>

namespace host {

using Status = std::int32_t;

constexpr Status kOk = 0;
constexpr Status kFalse = 1;
constexpr Status kNotImplemented = static_cast<Status>(0x80004001u);
constexpr Status kNoInterface = static_cast<Status>(0x80004002u);
constexpr Status kPointer = static_cast<Status>(0x80004003u);
constexpr Status kFail = static_cast<Status>(0x80004005u);
constexpr Status kUnexpected = static_cast<Status>(0x8000FFFFu);
constexpr Status kInvalidArg = static_cast<Status>(0x80070057u);

inline bool succeeded(Status s) {
  return s >= 0;
}
inline bool failed(Status s) {
  return s < 0;
}

// Outcome of an update: a failed update carries the kernel's diagnostic text.
struct UpdateResult {
  Status status = kOk;
  std::string diagnostic;
  bool ok() const { return status >= 0; }
};

}  // namespace host
