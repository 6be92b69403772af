// The one place where kernel exceptions become diagnostic text.
#pragma once

#include <functional>
#include <string>

namespace occt_host {

// Runs `work`; on any exception returns false with a readable text in `error`.
bool runGuarded(const std::function<void()>& work, std::string& error) noexcept;

// Silences Open CASCADE's default message printers, which write to standard output;
// failures reach callers as statuses and texts instead.
void quietKernelMessages() noexcept;

}  // namespace occt_host
