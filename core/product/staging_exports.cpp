// The product staging exports: the source parts of a product JSON as stand-alone part JSON
// in a list the core allocates and frees, and the part number of each source part's Part.
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "entry/import_result.h"
#include "entry/json_input.h"
#include "entry/part_access.h"
#include "host/document.h"
#include "host/part.h"
#include "host/product.h"
#include "kestrun/kestrun.h"
#include "product/source_parts.h"

namespace kestrun {

namespace {

std::int32_t parseProduct(const unsigned char* bytes, std::uint64_t size, rapidjson::Document& json,
                          ImportResult& result) {
  JsonParseOutcome parsed = parseJsonInput(bytes, size, json);
  if (parsed.ok) return kStatusSuccess;
  result.overwriteWarning(parsed.errorText);
  return result.fail(kCodeInput, "JSON parse failed.");
}

void releaseSpecs(ProductSourcePartSpec* sourceParts, std::uint64_t count) {
  for (std::uint64_t i = 0; i < count; ++i) {
    std::free(sourceParts[i].jsonBytes);
    sourceParts[i].jsonBytes = nullptr;
    sourceParts[i].jsonSize = 0;
  }
}

// Fills one record; false with the failure recorded.
bool stageRecord(const rapidjson::Value& entry, std::int32_t index, ProductSourcePartSpec& record,
                 ImportResult& result) {
  std::string staged;
  if (!stageSourcePart(entry, staged)) {
    result.fail(kCodeInput, "Failed to serialize product source part JSON.");
    return false;
  }
  const rapidjson::Value& id = entry["id"];
  void* bytes = id.GetStringLength() > 0 && !staged.empty() ? std::malloc(staged.size()) : nullptr;
  if (!bytes) {
    result.fail(kCodeInput, "Failed to allocate product source part JSON.");
    return false;
  }
  std::memcpy(bytes, staged.data(), staged.size());
  std::memset(&record, 0, sizeof record);
  copyText(record.sourcePartId, sizeof record.sourcePartId,
           std::string_view(id.GetString(), id.GetStringLength()));
  record.jsonBytes = static_cast<unsigned char*>(bytes);
  record.jsonSize = staged.size();
  record.sourcePartIndex = index;
  return true;
}

std::int32_t stageAll(const rapidjson::Value& list, std::vector<ProductSourcePartSpec>& staged,
                      ImportResult& result) {
  std::size_t sources = 0;
  for (const auto& entry : list.GetArray()) sources += isSourcePart(entry) ? 1 : 0;
  if (sources > kMaxSourceParts)
    return result.fail(kCodeInput, "product JSON lists more than " +
                                       std::to_string(kMaxSourceParts) + " source parts.");
  staged.reserve(sources);
  std::int32_t index = 0;
  for (const auto& entry : list.GetArray()) {
    if (!isSourcePart(entry)) continue;
    ProductSourcePartSpec record;
    if (!stageRecord(entry, index, record, result)) return kStatusFailed;
    staged.push_back(record);
    ++index;
  }
  if (staged.empty())
    return result.fail(kCodeInput, "No importable product source parts were found.");
  return kStatusSuccess;
}

std::int32_t listSourceParts(const unsigned char* bytes, std::uint64_t size,
                             ProductSourcePartSpec** outParts, std::uint64_t* outCount,
                             ImportResult& result, std::vector<ProductSourcePartSpec>& staged) {
  if (!outParts || !outCount) return result.fail(kCodeInput, "outParts/outCount are required.");
  *outParts = nullptr;
  *outCount = 0;
  if (!bytes || size == 0) return result.fail(kCodeInput, "product JSON bytes are required.");
  rapidjson::Document json;
  if (parseProduct(bytes, size, json, result) == kStatusFailed) return kStatusFailed;
  const rapidjson::Value* list = partListOf(json);
  if (!list) return result.fail(kCodeInput, "product JSON requires a partList array.");
  if (stageAll(*list, staged, result) == kStatusFailed) return kStatusFailed;
  auto* array = static_cast<ProductSourcePartSpec*>(
      std::malloc(staged.size() * sizeof(ProductSourcePartSpec)));
  if (!array) return result.fail(kCodeInput, "Failed to allocate product source part list.");
  std::memcpy(array, staged.data(), staged.size() * sizeof(ProductSourcePartSpec));
  *outParts = array;
  *outCount = staged.size();
  staged.clear();  // the bytes now belong to the returned list
  result.setMessage("Product source parts listed.");
  return kStatusSuccess;
}

std::int32_t assignPartNumber(const unsigned char* bytes, std::uint64_t size, std::int32_t index,
                              host::Document* partDocument, ImportResult& result) {
  if (!partDocument) return result.fail(kCodeInput, "partDocument is required.");
  if (!bytes || size == 0 || index < 0)
    return result.fail(kCodeInput, "product JSON bytes and sourcePartIndex are required.");
  rapidjson::Document json;
  if (parseProduct(bytes, size, json, result) == kStatusFailed) return kStatusFailed;
  const rapidjson::Value* entry = findSourcePart(json, index);
  if (!entry) return result.fail(kCodeInput, "Product source part index was not found.");
  auto roots = partDocument->query<host::DocumentRoots>();
  if (!roots) return result.fail(kCodeInput, "Part document root container was unavailable.");
  auto container = host::query<host::PartContainer>(roots->rootContainer(host::kPartContainerType));
  if (!container) return result.fail(kCodeInput, "CATIPrtContainer was unavailable.");
  auto partProduct = host::query<host::PartProduct>(container->part());
  host::ProductPtr product = partProduct ? partProduct->product() : nullptr;
  if (!product) return result.fail(kCodeInput, "Part document product interface was unavailable.");
  product->setPartNumber(sourcePartNumber(*entry, index));
  result.setMessage("Product source part number assigned.");
  return kStatusSuccess;
}

}  // namespace

}  // namespace kestrun

extern "C" KESTRUN_EXPORT std::int32_t MardelImport_ListProductSourceParts(
    const unsigned char* jsonBytes, std::uint64_t jsonSize, ProductSourcePartSpec** outParts,
    std::uint64_t* outCount, MardelImportResult* result) {
  using namespace kestrun;
  std::vector<ProductSourcePartSpec> staged;
  try {
    ImportResult outcome(result);
    outcome.clear();
    try {
      const std::int32_t status =
          listSourceParts(jsonBytes, jsonSize, outParts, outCount, outcome, staged);
      releaseSpecs(staged.data(), staged.size());
      return status;
    } catch (...) {
      // Only allocations throw here; whatever was staged goes, and nothing is returned.
      releaseSpecs(staged.data(), staged.size());
      if (outParts) *outParts = nullptr;
      if (outCount) *outCount = 0;
      return outcome.fail(kCodeInput, "Failed to allocate product source part list.");
    }
  } catch (...) {
    return kStatusFailed;
  }
}

extern "C" KESTRUN_EXPORT std::int32_t MardelImport_AssignProductSourcePartNumber(
    const unsigned char* jsonBytes, std::uint64_t jsonSize, std::int32_t sourcePartIndex,
    KestrunDocument* partDocument, MardelImportResult* result) {
  using namespace kestrun;
  try {
    ImportResult outcome(result);
    outcome.clear();
    try {
      return assignPartNumber(jsonBytes, jsonSize, sourcePartIndex, partDocument, outcome);
    } catch (...) {
      return outcome.fail(kCodeInput, "Product source part number could not be assigned.");
    }
  } catch (...) {
    return kStatusFailed;
  }
}

extern "C" KESTRUN_EXPORT void MardelImport_FreeProductSourcePartSpecs(ProductSourcePartSpec* parts,
                                                                       std::uint64_t count) {
  if (!parts || count == 0) return;
  kestrun::releaseSpecs(parts, count);
  std::free(parts);
}
