// The one place where kernel exceptions become diagnostic text.
#pragma once

#include <functional>
#include <string>
#include <type_traits>

namespace occt_host {

// Why the calling thread's last guarded call failed. Only a failure writes it: a later
// success leaves it as it was, so a caller that gets a null handle or false back can still
// read why, even when successful guarded calls ran on the way out. Empty until a guarded
// call fails on this thread, or after clearKernelFailure().
const std::string& lastKernelFailure() noexcept;
void clearKernelFailure() noexcept;

namespace guard_detail {

// Called only from within a catch block: keeps the readable text of the exception being
// handled as the thread's last failure and, when `error` is given, there too.
void noteFailure(std::string* error) noexcept;

template <typename Work>
using Result = std::invoke_result_t<Work&>;

}  // namespace guard_detail

// Runs `work` and returns what it returns; on any exception returns `onFailure` and keeps
// the exception's text as lastKernelFailure(). The type of `onFailure` is the work's own
// result type, so `nullptr`, `{}` or a status convert to it.
template <typename Work>
guard_detail::Result<Work> guarded(guard_detail::Result<Work> onFailure, Work&& work) noexcept {
  static_assert(!std::is_reference_v<guard_detail::Result<Work>>, "guarded work returns a value");
  static_assert(std::is_nothrow_move_constructible_v<guard_detail::Result<Work>>,
                "the failure value must be returnable without throwing");
  try {
    return work();
  } catch (...) {
    guard_detail::noteFailure(nullptr);
  }
  return onFailure;
}

// Runs `work`; on any exception returns false with a readable text in `error` (and as
// lastKernelFailure()).
template <typename Work>
bool runGuarded(Work&& work, std::string& error) noexcept {
  try {
    work();
    return true;
  } catch (...) {
    guard_detail::noteFailure(&error);
  }
  return false;
}

// The same for work already held as a std::function; the library has always exported it.
bool runGuarded(const std::function<void()>& work, std::string& error) noexcept;

// Runs `work`; on any exception returns false, its text kept only as lastKernelFailure().
template <typename Work>
bool runGuarded(Work&& work) noexcept {
  try {
    work();
    return true;
  } catch (...) {
    guard_detail::noteFailure(nullptr);
  }
  return false;
}

// Silences Open CASCADE's default message printers, which write to standard output;
// failures reach callers as statuses and texts instead.
void quietKernelMessages() noexcept;

}  // namespace occt_host
