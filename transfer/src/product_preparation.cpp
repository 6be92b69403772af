// The caller's side of a Product draw: the source parts become saved Part files first, then
// the Product is drawn with them as prepared parts.
#include <cstring>
#include <string>
#include <vector>

#include "host/application.h"
#include "host/document_services.h"
#include "host/environment.h"
#include "platform/clock.h"
#include "platform/directories.h"
#include "platform/process.h"
#include "platform/temp_files.h"
#include "vantrel/diagnostic_log.h"
#include "vantrel/transfer_data_processor.h"

namespace vantrel {
namespace {

constexpr char kComponent[] = "transfer.processor";
constexpr int32_t kStatusFailed = MARDEL_STATUS_FAILED;
constexpr int32_t kCodeInput = MARDEL_CODE_INPUT;
// A folder name taken by an earlier draw in the same millisecond gets a numbered sibling;
// past this many the temporary folder is taken to be unusable.
constexpr int kMaxFolderAttempts = 1000;
// A prepared record holds a Part file's path in a fixed field; a longer path would reach the
// core cut short, and its Part could not be opened again.
constexpr size_t kMaxPartPathBytes = sizeof(ProductPreparedPart::partPath) - 1;

void Log(const std::string& message) {
  WriteLog(kLogInfo, kComponent, message);
}

template <size_t N>
void CopyField(char (&target)[N], std::string_view text) {
  const size_t n = text.size() < N - 1 ? text.size() : N - 1;
  std::memset(target, 0, N);
  std::memcpy(target, text.data(), n);
}

std::shared_ptr<host::Application> Application() {
  host::Environment* env = host::environment();
  return env != nullptr ? env->application() : nullptr;
}

// Holds the core's list and gives it back through the core's own export exactly once.
class SpecList {
 public:
  explicit SpecList(const CoreExports& exports) : exports_(exports) {}
  ~SpecList() { Free(); }
  SpecList(const SpecList&) = delete;
  SpecList& operator=(const SpecList&) = delete;

  void Free() {
    if (specs_ != nullptr) exports_.freeProductSourcePartSpecs(specs_, count_);
    specs_ = nullptr;
    count_ = 0;
  }
  ProductSourcePartSpec** sourceParts() { return &specs_; }
  uint64_t* count() { return &count_; }
  const ProductSourcePartSpec& operator[](uint64_t i) const { return specs_[i]; }
  uint64_t size() const { return count_; }
  bool empty() const { return specs_ == nullptr || count_ == 0; }

 private:
  const CoreExports& exports_;
  ProductSourcePartSpec* specs_ = nullptr;
  uint64_t count_ = 0;
};

MardelImportOptions SourcePartOptions() {
  MardelImportOptions options{};
  options.mode = 1;
  options.clearPart = 1;
  options.radius = 300.0;
  options.height = 500.0;
  options.preparedParts = nullptr;
  options.preparedPartCount = 0;
  options.drawDelayMs = static_cast<int32_t>(TransferDataProcessor::DrawDelayMs());
  return options;
}

MardelImportOptions ProductOptions(const std::vector<ProductPreparedPart>& prepared) {
  MardelImportOptions options = SourcePartOptions();
  options.mode = 2;
  options.preparedParts = prepared.data();
  options.preparedPartCount = prepared.size();
  return options;
}

void Fail(MardelImportResult* result, std::string_view message, std::string_view detail) {
  if (result != nullptr) TransferDataProcessor::FillFailureResult(*result, message, detail);
}

void CloseDocument(const std::shared_ptr<host::DocumentServices>& services,
                   const std::shared_ptr<host::Document>& document) {
  if (services && document) services->removeDocument(document, host::DocumentServices::kForce);
}

const unsigned char* DataOf(const std::vector<unsigned char>& bytes) {
  return bytes.empty() ? nullptr : bytes.data();
}

// One source part: a new Part drawn, numbered, saved and closed. False with `result` filled.
bool PrepareOne(const CoreExports& exports, const std::vector<unsigned char>& bytes,
                const ProductSourcePartSpec& sourcePart, const std::string& path,
                MardelImportResult* result) {
  std::shared_ptr<host::Application> application = Application();
  auto services = host::query<host::DocumentServices>(application);
  std::shared_ptr<host::Document> part;
  const host::Status created =
      application ? application->newDocument("Part", part) : host::kNoInterface;
  if (host::failed(created) || !part) {
    Fail(result, "Product source Part document creation failed",
         "CATDocumentServices::New Part failed hr=" + std::to_string(static_cast<long>(created)));
    Log("TransferDataProcessor::ProductSourcePartCreateFailed");
    return false;
  }
  MardelImportOptions options = SourcePartOptions();
  MardelImportResult step{};
  if (exports.drawJson(part.get(), sourcePart.jsonBytes, sourcePart.jsonSize, &options, &step) ==
      kStatusFailed) {
    CloseDocument(services, part);
    Log("TransferDataProcessor::ProductSourcePartImportFailed");
    TransferDataProcessor::LogResultTexts(step);
    if (result != nullptr) *result = step;
    return false;
  }
  step = MardelImportResult{};
  if (exports.assignProductSourcePartNumber(DataOf(bytes), bytes.size(), sourcePart.sourcePartIndex,
                                            part.get(), &step) == kStatusFailed) {
    CloseDocument(services, part);
    Log("TransferDataProcessor::ProductSourcePartAssignFailed");
    TransferDataProcessor::LogResultTexts(step);
    if (result != nullptr) *result = step;
    return false;
  }
  const host::Status saved = services
                                 ? services->saveAs(part, path, "", host::DocumentServices::kForce)
                                 : host::kNoInterface;
  if (host::failed(saved)) {
    CloseDocument(services, part);
    Fail(result, "Product source Part save failed",
         "CATDocumentServices::SaveAs failed hr=" + std::to_string(static_cast<long>(saved)));
    Log("TransferDataProcessor::ProductSourcePartSaveFailed");
    return false;
  }
  CloseDocument(services, part);
  return true;
}

std::string PartPath(const std::string& folder, uint64_t index) {
  return folder + platform::kPathSeparator + std::to_string(index) + ".CATPart";
}

// Refuses, before any source part is drawn, a folder whose last Part path would not fit in
// its record.
bool PartPathsFit(const std::string& folder, uint64_t count, MardelImportResult* result) {
  const size_t longest = PartPath(folder, count - 1).size();
  if (longest <= kMaxPartPathBytes) return true;
  Fail(result, "Product source-part export folder unavailable",
       "Product source CATPart paths would be longer than " + std::to_string(kMaxPartPathBytes) +
           " bytes; use a shorter temporary folder.");
  Log("TransferDataProcessor::ProductExportFolderTooLong path=" + folder +
      " partPathBytes=" + std::to_string(longest) + " limit=" + std::to_string(kMaxPartPathBytes));
  return false;
}

}  // namespace

std::string TransferDataProcessor::CreateProductPartsFolder() {
  std::optional<std::string> temp = platform::TempPath();
  if (!temp || temp->empty()) return {};
  const std::string parent = *temp + "TolvaneProductParts";
  if (!platform::CreateDirectoryTree(parent)) return {};
  const std::string base = parent + platform::kPathSeparator +
                           std::to_string(platform::ProcessId()) + "-" +
                           std::to_string(platform::TickCount());
  // Each draw gets a folder of its own, so that no draw replaces the Part files of another.
  for (int attempt = 0; attempt < kMaxFolderAttempts; ++attempt) {
    const std::string folder = attempt == 0 ? base : base + "-" + std::to_string(attempt);
    if (platform::CreateDirectory(folder)) return folder;
    if (!platform::FileExists(folder) && !platform::IsDirectory(folder)) return {};
  }
  return {};
}

bool TransferDataProcessor::PrepareProductSourceParts(const CoreExports& exports,
                                                      const std::vector<unsigned char>& bytes,
                                                      std::vector<ProductPreparedPart>& prepared,
                                                      MardelImportResult* result) {
  if (exports.listProductSourceParts == nullptr || exports.freeProductSourcePartSpecs == nullptr ||
      exports.assignProductSourcePartNumber == nullptr) {
    Fail(result, "Product prep exports are missing",
         "Kestrun.dll does not expose the required Product two-stage API.");
    return false;
  }
  const std::string folder = CreateProductPartsFolder();
  if (folder.empty()) {
    Fail(result, "Product source-part export folder unavailable",
         "Could not create a temporary folder for Product source CATPart files.");
    Log("TransferDataProcessor::ProductExportFolderInvalid");
    return false;
  }
  Log("TransferDataProcessor::ProductExportFolder path=" + folder);
  SpecList sourceParts(exports);
  MardelImportResult listed{};
  const int32_t status = exports.listProductSourceParts(
      DataOf(bytes), bytes.size(), sourceParts.sourceParts(), sourceParts.count(), &listed);
  if (status == kStatusFailed || sourceParts.empty()) {
    Log("TransferDataProcessor::ListProductSourcePartsFailed");
    LogResultTexts(listed);
    sourceParts.Free();
    if (result != nullptr) *result = listed;
    return false;
  }
  if (!PartPathsFit(folder, sourceParts.size(), result)) return false;
  prepared.clear();
  prepared.reserve(sourceParts.size());
  for (uint64_t i = 0; i < sourceParts.size(); ++i) {
    const std::string path = PartPath(folder, i);
    if (!PrepareOne(exports, bytes, sourceParts[i], path, result)) return false;
    ProductPreparedPart record{};
    CopyField(record.sourcePartId, std::string_view(sourceParts[i].sourcePartId,
                                                    strnlen(sourceParts[i].sourcePartId,
                                                            sizeof sourceParts[i].sourcePartId)));
    record.partDocument = nullptr;
    CopyField(record.partPath, path);
    prepared.push_back(record);
    Log("TransferDataProcessor::ProductSourcePartPrepared id=" + std::string(record.sourcePartId) +
        " path=" + path);
  }
  sourceParts.Free();
  return !prepared.empty();
}

int32_t TransferDataProcessor::DrawProductJson(const CoreExports& exports,
                                               std::shared_ptr<host::Document>& document,
                                               const std::vector<unsigned char>& bytes,
                                               MardelImportResult& result) {
  std::vector<ProductPreparedPart> prepared;
  if (!PrepareProductSourceParts(exports, bytes, prepared, &result)) return kStatusFailed;
  MardelImportOptions options = ProductOptions(prepared);
  int32_t status = exports.drawJson(document.get(), DataOf(bytes), bytes.size(), &options, &result);
  if (status == kStatusFailed && result.errorCode == kCodeInput) {
    Log("TransferDataProcessor::RetryWithAutoCreatedProduct");
    if (std::shared_ptr<host::Document> product = AutoCreateDocument(PayloadKind::Product)) {
      result = MardelImportResult{};
      document = product;
      status = exports.drawJson(document.get(), DataOf(bytes), bytes.size(), &options, &result);
    }
  }
  return status;
}

}  // namespace vantrel
