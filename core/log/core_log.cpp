#include "core/log/core_log.h"

#include <cstdio>

namespace kestrun {

namespace {
void writeLine(std::FILE* stream, std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}
}  // namespace

void logOut(std::string_view line) {
  writeLine(stdout, line);
}
void logErr(std::string_view line) {
  writeLine(stderr, line);
}

}  // namespace kestrun
