// The drawing entry over arbitrary bytes, into a fresh Part of the Open CASCADE host:
// every input ends with a well-formed result record, in bounded time.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "kestrun/kestrun.h"
#include "log/core_log.h"
#include "occt_host/kernel/operation_budget.h"
#include "occt_host/session/session.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool terminated(const char (&text)[512]) {
  return std::memchr(text, '\0', sizeof text) != nullptr;
}

}  // namespace

// The core's diagnostic lines would cost more than the drawing itself.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  kestrun::setLogSink([](kestrun::LogLevel, std::string_view) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A kernel step that still runs long is cut short rather than reported as a hang.
  static occt_host::testing::ScopedBudget budget(2.0);
  occt_host::Session session;
  auto document = session.newDocument("Part");
  MardelImportOptions options{0, 1, 300.0, 500.0, nullptr, 0, 0};
  MardelImportResult result;
  std::memset(&result, 0x5A, sizeof result);
  int32_t status = MardelImport_DrawJson(document.get(), data, size, &options, &result);
  Check(status == result.status);
  Check(status >= 0 && status <= 2);
  Check(terminated(result.message) && terminated(result.warning));
  Check(result.hasWarnings == 0 || result.hasWarnings == 1);
  Check(status != 0 || result.errorCode == 0);
  Check(status != 2 || result.errorCode != 0);
  return 0;
}
