// The exported log sink: the caller's function receives the core's log lines.
#include "kestrun/kestrun.h"
#include "log/core_log.h"

KESTRUN_EXTERN_C KESTRUN_EXPORT void MardelImport_SetLogSink(MardelLogSinkFn sink, void* context) {
  try {
    if (!sink) {
      kestrun::setLogSink({});
      return;
    }
    kestrun::setLogSink([sink, context](kestrun::LogLevel level, std::string_view line) {
      sink(context, static_cast<int32_t>(level), line.data(), line.size());
    });
  } catch (...) {
    // Without memory for the sink the lines keep going where they went.
  }
}
