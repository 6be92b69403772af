// A stand-in core module that exports the draw entry alone (no product staging exports). It
// draws nothing; it reports the bytes and options it was given so that tests can check them.
#include <cstdio>
#include <cstring>

#include "kestrun/kestrun.h"

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
