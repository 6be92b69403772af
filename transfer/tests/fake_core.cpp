// A stand-in core module that exports the draw entry alone (no product staging exports). It
// draws nothing; it reports the bytes and options it was given so that tests can check them.
#include <cstdio>
#include <cstring>

#include "kestrun/kestrun.h"

#ifdef FAKE_CORE_WITH_REPORT_EXPORTS
namespace {
MardelReportSinkFn g_sink = nullptr;
void* g_context = nullptr;
uint32_t g_flags = 0;
int g_sets = 0;

MardelText Text(const char* text) {
  return MardelText{text, std::strlen(text)};
}

// One built and one failed item, as a part of two items would report them.
void Report() {
  if (g_sink == nullptr) return;
  MardelItemReport item{};
  item.total = 2;
  g_sink(g_context, MARDEL_REPORT_BEGIN, &item);
  const MardelText failure = Text("error: fake failure");
  for (uint32_t i = 0; i < 2; ++i) {
    item.index = i;
    item.id = Text(i == 0 ? "a" : "b");
    item.type = Text("extrude");
    item.outcome = i == 0 ? MARDEL_ITEM_BUILT : MARDEL_ITEM_FAILED;
    item.messages = i == 0 ? nullptr : &failure;
    item.messageCount = i == 0 ? 0 : 1;
    g_sink(g_context, MARDEL_REPORT_ITEM_START, &item);
    g_sink(g_context, MARDEL_REPORT_ITEM_DONE, &item);
  }
}
}  // namespace

extern "C" KESTRUN_EXPORT void MardelImport_SetReportSinkWithFlags(MardelReportSinkFn sink,
                                                                   void* context, uint32_t flags) {
  ++g_sets;
  g_sink = sink;
  g_context = context;
  g_flags = flags;
}

extern "C" KESTRUN_EXPORT void MardelImport_GetReportSink(MardelReportSinkFn* sink, void** context,
                                                          uint32_t* flags) {
  *sink = g_sink;
  *context = g_context;
  *flags = g_flags;
}

// How many times a sink was set, for tests that hold the module loaded.
extern "C" KESTRUN_EXPORT int FakeCore_ReportSinkSets() {
  return g_sets;
}
#endif

extern "C" KESTRUN_EXPORT int32_t MardelImport_DrawJson(KestrunDocument* document,
                                                        const unsigned char* jsonBytes,
                                                        uint64_t jsonSize,
                                                        const MardelImportOptions* options,
                                                        MardelImportResult* result) {
  if (result == nullptr || options == nullptr) return 2;
  std::memset(result, 0, sizeof(*result));
  result->createdCount = static_cast<uint32_t>(jsonSize);
  std::snprintf(result->message, sizeof(result->message), "fake core drew %s",
                document != nullptr && jsonBytes != nullptr ? "into a document" : "nothing");
  std::snprintf(result->warning, sizeof(result->warning),
                "mode=%d clearPart=%d radius=%g height=%g prepared=%llu delay=%d",
                static_cast<int>(options->mode), static_cast<int>(options->clearPart),
                options->radius, options->height,
                static_cast<unsigned long long>(options->preparedPartCount),
                static_cast<int>(options->drawDelayMs));
#ifdef FAKE_CORE_WITH_REPORT_EXPORTS
  Report();
#endif
  return 0;
}

#ifdef FAKE_CORE_WITH_PRODUCT_EXPORTS
// The staging exports exist but are never reached while product drawing is unavailable; each
// reports a failure so that a call by mistake would show.
extern "C" KESTRUN_EXPORT int32_t MardelImport_ListProductSourceParts(
    const unsigned char*, uint64_t, ProductSourcePartSpec** outParts, uint64_t* outCount,
    MardelImportResult*) {
  if (outParts != nullptr) *outParts = nullptr;
  if (outCount != nullptr) *outCount = 0;
  return 2;
}

extern "C" KESTRUN_EXPORT void MardelImport_FreeProductSourcePartSpecs(ProductSourcePartSpec*,
                                                                       uint64_t) {}

extern "C" KESTRUN_EXPORT int32_t MardelImport_AssignProductSourcePartNumber(const unsigned char*,
                                                                             uint64_t, int32_t,
                                                                             KestrunDocument*,
                                                                             MardelImportResult*) {
  return 2;
}
#endif
