#include "log/core_log.h"

#include <cstdio>
#include <utility>

namespace kestrun {

namespace {

void writeLine(std::FILE* stream, std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

LogSink& sink() {
  static LogSink installed;
  return installed;
}

struct Observer {
  LineObserver observer = nullptr;
  void* context = nullptr;
};

Observer& observer() {
  static Observer installed;
  return installed;
}

void log(LogLevel level, std::string_view line) {
  if (const Observer& seen = observer(); seen.observer) seen.observer(seen.context, line);
  if (const LogSink& installed = sink()) {
    installed(level, line);
  } else {
    writeLine(level == LogLevel::Error ? stderr : stdout, line);
  }
}

}  // namespace

void setLogSink(LogSink sink) {
  kestrun::sink() = std::move(sink);
}

void setLineObserver(LineObserver observer, void* context) {
  kestrun::observer() = Observer{observer, context};
}

void logOut(std::string_view line) {
  log(LogLevel::Output, line);
}
void logErr(std::string_view line) {
  log(LogLevel::Error, line);
}

}  // namespace kestrun
