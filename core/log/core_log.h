// The core's diagnostic lines. By default they go to the process's standard output or
// standard error, as the host's console shows them; a caller may send them elsewhere.
#pragma once

#include <functional>
#include <string_view>

namespace kestrun {

// Where a line goes by default: Output to standard output, Error to standard error.
// The text keeps its own "debug:", "info:" or "error:" word.
enum class LogLevel { Output = 0, Error = 1 };

// Receives each line without its line end.
using LogSink = std::function<void(LogLevel level, std::string_view line)>;

// Sends every later line to `sink`; an empty sink restores the default. Set it while
// no import runs.
void setLogSink(LogSink sink);

// Sees every line before it goes on, whoever the sink is; the per-item report keeps
// the lines an item logged. Null removes it.
using LineObserver = void (*)(void* context, std::string_view line);
void setLineObserver(LineObserver observer, void* context);

void logOut(std::string_view line);
void logErr(std::string_view line);

}  // namespace kestrun
