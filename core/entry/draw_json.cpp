// The exported drawing entry: parse, detect the mode, clear, and dispatch.
#include <exception>

#include <rapidjson/document.h>

#include "entry/busy_flag.h"
#include "entry/effective_options.h"
#include "entry/import_result.h"
#include "entry/json_input.h"
#include "entry/mode_detection.h"
#include "entry/part_clearing.h"
#include "entry/skeleton_cylinder.h"
#include "kestrun/kestrun.h"
#include "log/core_log.h"
#include "partjson/default_writers.h"
#include "partjson/part_import_pipeline.h"
#include "platform/memory_advice.h"
#include "product/product_import.h"

namespace kestrun {

namespace {

constexpr const char* kEmptyInputNote =
    "jsonBytes/jsonSize are empty; skeleton import draws the fixed cylinder anyway.";
constexpr const char* kNoModeNote =
    "Unable to auto-detect JSON mode; skeleton import draws the fixed cylinder.";

std::int32_t drawSkeleton(host::Document& document, const EffectiveOptions& options,
                          ImportResult& result) {
  if (options.clearPart && clearPart(document, result) == kStatusFailed) return kStatusFailed;
  return drawSkeletonCylinder(document, options.radius, options.height, result);
}

std::int32_t importPart(host::Document& document, const rapidjson::Value& root,
                        const EffectiveOptions& options, ImportResult& result) {
  if (options.clearPart && clearPart(document, result) == kStatusFailed) return kStatusFailed;
  PartImportPipeline pipeline(defaultWriterFactory());
  pipeline.setDrawDelay(options.drawDelayMs);
  if (pipeline.attach(&document, result) == kStatusFailed) return kStatusFailed;
  return pipeline.import(root, result);
}

std::int32_t importProduct(host::Document& document, const rapidjson::Value& root,
                           const EffectiveOptions& options, ImportResult& result) {
  ProductImport product(options.drawDelayMs);
  if (options.preparedParts && options.preparedPartCount != 0)
    product.RegisterPreparedParts(options.preparedParts, options.preparedPartCount);
  if (product.AttachProductDocument(&document, result) == kStatusFailed) return kStatusFailed;
  return product.ImportProduct(root, result);
}

std::int32_t drawParsed(host::Document& document, const unsigned char* bytes, std::uint64_t size,
                        const EffectiveOptions& options, ImportResult& result) {
  rapidjson::Document json;
  JsonParseOutcome parsed = parseJsonInput(bytes, size, json);
  if (!parsed.ok) {
    result.overwriteWarning(parsed.errorText);
    return result.fail(kCodeInput, "JSON parse failed.");
  }
  switch (detectMode(json, options.mode)) {
    case ImportMode::Part:
      return importPart(document, json, options, result);
    case ImportMode::Product:
      return importProduct(document, json, options, result);
    case ImportMode::None:
      break;
  }
  result.setStatus(kStatusWarnings);
  result.setHasWarnings();
  result.overwriteWarning(kNoModeNote);
  return drawSkeleton(document, options, result);
}

std::int32_t drawWhileBusy(host::Document* document, const unsigned char* bytes, std::uint64_t size,
                           const MardelImportOptions* rawOptions, ImportResult& result) {
  if (!document) return result.fail(kCodeInput, "drawingDocument is required.");
  const EffectiveOptions options = effectiveOptions(rawOptions);
  if (!bytes || size == 0) {
    result.setStatus(kStatusWarnings);
    result.setHasWarnings();
    result.overwriteWarning(kEmptyInputNote);
    return drawSkeleton(*document, options, result);
  }
  return drawParsed(*document, bytes, size, options, result);
}

}  // namespace

}  // namespace kestrun

extern "C" KESTRUN_EXPORT std::int32_t MardelImport_DrawJson(KestrunDocument* drawingDocument,
                                                             const unsigned char* jsonBytes,
                                                             std::uint64_t jsonSize,
                                                             const MardelImportOptions* options,
                                                             MardelImportResult* result) {
  using namespace kestrun;
  try {
    ImportResult outcome(result);
    outcome.clear();
    if (!BusyFlag::tryTake()) {
      return outcome.fail(kCodeInput, "MardelImport_DrawJson reentrant calls are not supported.");
    }
    std::int32_t status = kStatusFailed;
    try {
      status = drawWhileBusy(drawingDocument, jsonBytes, jsonSize, options, outcome);
    } catch (const std::exception& e) {
      logErr(std::string("error: import aborted: ") + e.what());
      status = outcome.fail(kCodeUpdate, std::string("Import aborted: ") + e.what());
    } catch (...) {
      logErr("error: import aborted by an unknown error");
      status = outcome.fail(kCodeUpdate, "Import aborted by an unknown error.");
    }
    BusyFlag::release();
    platform::ReturnFreeMemory();
    return status;
  } catch (...) {
    return kStatusFailed;
  }
}

namespace wenlow {
KESTRUN_EXPORT std::int32_t ImportJsonToCatia(KestrunDocument* drawingDocument,
                                              const unsigned char* jsonBytes,
                                              std::uint64_t jsonSize,
                                              const MardelImportOptions* options,
                                              MardelImportResult* result) {
  return MardelImport_DrawJson(drawingDocument, jsonBytes, jsonSize, options, result);
}
}  // namespace wenlow
