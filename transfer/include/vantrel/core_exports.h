// The core's exports that the processor binds by name from the loaded module.
#pragma once

#include <cstdint>

#include "kestrun/kestrun.h"
#include "platform/dynamic_library.h"

namespace vantrel {

// The product staging exports of the core, bound by name like the draw entry.
using ListProductSourcePartsFn = int32_t (*)(const unsigned char* jsonBytes, uint64_t jsonSize,
                                             ProductSourcePartSpec** outParts, uint64_t* outCount,
                                             MardelImportResult* result);
using FreeProductSourcePartSpecsFn = void (*)(ProductSourcePartSpec* parts, uint64_t count);
using AssignProductSourcePartNumberFn = int32_t (*)(const unsigned char* jsonBytes,
                                                    uint64_t jsonSize, int32_t sourcePartIndex,
                                                    KestrunDocument* partDocument,
                                                    MardelImportResult* result);

// The core module of one draw and its entry points; null where not bound.
struct CoreExports {
  const platform::DynamicLibrary* module = nullptr;
  MardelImport_DrawJsonFn drawJson = nullptr;
  ListProductSourcePartsFn listProductSourceParts = nullptr;
  FreeProductSourcePartSpecsFn freeProductSourcePartSpecs = nullptr;
  AssignProductSourcePartNumberFn assignProductSourcePartNumber = nullptr;
  MardelImport_SetLogSinkFn setLogSink = nullptr;  // optional
  // Optional: only a draw whose report the page asked for installs a report sink.
  MardelImport_GetReportSinkFn getReportSink = nullptr;
  MardelImport_SetReportSinkWithFlagsFn setReportSink = nullptr;
};

// The numbers logged as "error=%lu". dlopen gives no error number of its own, so a load
// failure reports the errno that the failed dlopen left (2 for a missing file, the same number
// as the original platform's "file not found"), or 126, the original's "module not found",
// when it left none; on Windows the errno is the loader's own error. A missing export
// reports 127, the original's "procedure not found".
constexpr unsigned long kModuleNotFoundCode = 126;
constexpr unsigned long kProcedureNotFoundCode = 127;
unsigned long LoadFailureCode(int savedErrno);

// The function behind an exported symbol; null for null.
template <class Fn>
Fn ExportAs(void* symbol) {
  return reinterpret_cast<Fn>(symbol);
}

}  // namespace vantrel
