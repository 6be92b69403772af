#include "vantrel/transfer_data_processor.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>

#include "host/application.h"
#include "host/environment.h"
#include "host/part.h"
#include "host/solid_volume.h"
#include "platform/directories.h"
#include "platform/environment.h"
#include "platform/module_path.h"
#include "report_sink_scope.h"
#include "vantrel/diagnostic_log.h"
#include "vantrel/draw_delay.h"
#include "vantrel/transfer_mode.h"

namespace vantrel {
namespace {

constexpr char kComponent[] = "transfer.processor";
#if defined(_WIN32)
constexpr char kCoreFileName[] = "Kestrun.dll";
constexpr char kCoreFolder[] = "\\Fennick\\bin\\";
#else
constexpr char kCoreFileName[] = "libKestrun.so";
constexpr char kCoreFolder[] = "/Fennick/bin/";
#endif
constexpr size_t kMaxCorePathChars = 259;
constexpr int32_t kStatusFailed = MARDEL_STATUS_FAILED;
// The core's code for a document that is not a usable Part.
constexpr int32_t kCodeNotAPart = MARDEL_CODE_DOCUMENT;

std::atomic<MardelLogSinkFn> g_coreLogSink{nullptr};
std::atomic<void*> g_coreLogContext{nullptr};

// Its address names the module this code was linked into.
const char kModuleAnchor = 0;

void Log(const std::string& message) {
  WriteLog(kLogInfo, kComponent, message);
}

// "TransferDataProcessor::<event><type>", with "Document" standing for a missing type.
void LogTyped(const char* event, const char* type) {
  Log(std::string("TransferDataProcessor::") + event + (type != nullptr ? type : "Document"));
}

std::shared_ptr<host::Application> Application() {
  host::Environment* env = host::environment();
  return env != nullptr ? env->application() : nullptr;
}

void CopyText(char (&target)[512], std::string_view text) {
  const size_t n = text.size() < sizeof(target) - 1 ? text.size() : sizeof(target) - 1;
  std::memcpy(target, text.data(), n);
  target[n] = '\0';
}

std::string_view TextOf(const char (&field)[512]) {
  return std::string_view(field, strnlen(field, sizeof(field)));
}

void NotDrawn(DrawReport* report, const char* why) {
  if (report != nullptr) report->Refuse("report.notDrawn", why);
}

double SecondsSince(std::chrono::steady_clock::time_point started) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

}  // namespace

void TransferDataProcessor::ProcessTransfer(std::string_view mode, const std::string& data,
                                            DrawReport* report) {
  if (ParseTransferMode(mode) != TransferMode::Json) return;
  try {
    DrawJsonPayload(data, report);
  } catch (...) {
    // Only an allocation failure gets here; the draw is abandoned like any other failure.
    try {
      Log("TransferDataProcessor::DrawAborted");
      if (report != nullptr) report->Refuse("report.notDrawn", "the draw was abandoned");
    } catch (...) {
    }
  }
}

std::string TransferDataProcessor::DrawJsonWithReport(const std::string& json) {
  DrawReport report;
  ProcessTransfer("json", json, &report);
  return report.Response();
}

void TransferDataProcessor::DrawJsonPayload(const std::string& json, DrawReport* report) {
  if (json.empty()) {
    Log("TransferDataProcessor::JsonEmpty");
    return NotDrawn(report, "the payload is empty");
  }
  const PayloadKind kind = DetectPayloadKind(json);
  std::shared_ptr<host::Document> document = TargetDocument(kind);
  if (!document) return NotDrawn(report, "there is no document to draw into");
  const std::string path = ResolveCorePath();
  platform::DynamicLibrary module;
  errno = 0;
  if (!module.Open(path)) {
    const unsigned long error = LoadFailureCode(errno);
    Log("TransferDataProcessor::LoadLibraryFailed path=" + path +
        " error=" + std::to_string(error));
    return NotDrawn(report, "the core module could not be loaded");
  }
  CoreExports exports;
  if (!BindCoreExports(module, kind, exports))
    return NotDrawn(report, "the core module lacks an entry point the draw needs");
  if (exports.setLogSink && g_coreLogSink.load())
    exports.setLogSink(g_coreLogSink.load(), g_coreLogContext.load());
  const Bytes bytes(json.begin(), json.end());
  MardelImportResult result{};
  const auto started = std::chrono::steady_clock::now();
  int32_t status = 0;
  {
    ReportSinkScope sink(exports, report);
    status = kind == PayloadKind::Product ? DrawProductJson(exports, document, bytes, result)
                                          : DrawPart(exports, kind, bytes, document, result);
  }
  Log("TransferDataProcessor::ImportStatus status=" + std::to_string(status) + " resultStatus=" +
      std::to_string(result.status) + " errorCode=" + std::to_string(result.errorCode) +
      " created=" + std::to_string(static_cast<int32_t>(result.createdCount)));
  LogResultTexts(result);
  Remember(document, status, result);
  if (report != nullptr)
    report->Finish(result, SecondsSince(started),
                   kind == PayloadKind::Product ? std::nullopt : PartSolidsVolume(document));
}

std::optional<TransferDataProcessor::DrawRecord> TransferDataProcessor::LastDraw(
    const std::shared_ptr<host::Document>& document) const {
  for (auto it = draws_.rbegin(); it != draws_.rend(); ++it) {
    if (host::sameObject(it->document.lock(), document)) return *it;
  }
  return std::nullopt;
}

std::string TransferDataProcessor::ResolveCorePath() {
  std::optional<std::string> configured = platform::GetEnv("TOLVANE_MARDEL_CORE_DLL");
  if (configured && !configured->empty() && configured->size() <= kMaxCorePathChars)
    return *configured;
  std::optional<std::string> self = platform::ModulePathOf(&kModuleAnchor);
  const size_t cut = self ? self->find_last_of(platform::kPathSeparator) : std::string::npos;
  if (cut == std::string::npos) return kCoreFileName;
  return self->substr(0, cut) + kCoreFolder + kCoreFileName;
}

bool TransferDataProcessor::BindCoreExports(const platform::DynamicLibrary& module,
                                            PayloadKind kind, CoreExports& exports) {
  exports = CoreExports{};
  exports.module = &module;
  exports.drawJson = ExportAs<MardelImport_DrawJsonFn>(module.Symbol("MardelImport_DrawJson"));
  if (exports.drawJson == nullptr) {
    Log("TransferDataProcessor::GetProcAddressDrawJsonFailed error=" +
        std::to_string(kProcedureNotFoundCode));
    return false;
  }
  exports.setLogSink =
      ExportAs<MardelImport_SetLogSinkFn>(module.Symbol("MardelImport_SetLogSink"));
  exports.getReportSink =
      ExportAs<MardelImport_GetReportSinkFn>(module.Symbol("MardelImport_GetReportSink"));
  exports.setReportSink = ExportAs<MardelImport_SetReportSinkWithFlagsFn>(
      module.Symbol("MardelImport_SetReportSinkWithFlags"));
  if (kind != PayloadKind::Product) return true;
  auto list =
      ExportAs<ListProductSourcePartsFn>(module.Symbol("MardelImport_ListProductSourceParts"));
  auto release = ExportAs<FreeProductSourcePartSpecsFn>(
      module.Symbol("MardelImport_FreeProductSourcePartSpecs"));
  auto assign = ExportAs<AssignProductSourcePartNumberFn>(
      module.Symbol("MardelImport_AssignProductSourcePartNumber"));
  if (list == nullptr || release == nullptr || assign == nullptr) {
    Log("TransferDataProcessor::GetProcAddressProductPrepFailed error=" +
        std::to_string(kProcedureNotFoundCode));
    return false;
  }
  exports.listProductSourceParts = list;
  exports.freeProductSourcePartSpecs = release;
  exports.assignProductSourcePartNumber = assign;
  return true;
}

std::shared_ptr<host::Document> TransferDataProcessor::AutoCreateDocument(PayloadKind kind) {
  if (std::shared_ptr<host::Document> created = CreateInteractiveDocument(kind)) return created;
  const char* type = DocumentTypeFor(kind);
  std::shared_ptr<host::Application> application = Application();
  std::shared_ptr<host::Document> document;
  const host::Status hr = application ? application->newDocument(type, document) : host::kFail;
  if (host::failed(hr) || !document) {
    Log(std::string("TransferDataProcessor::AutoCreate") + type +
        "Failed hr=" + std::to_string(static_cast<long>(hr)));
    return nullptr;
  }
  LogTyped("AutoCreateSuccess", type);
  OpenVisibleWindow(document, kind);
  return document;
}

std::shared_ptr<host::Document> TransferDataProcessor::CreateInteractiveDocument(PayloadKind kind) {
  std::shared_ptr<host::Application> application = Application();
  if (!application) {
    Log("TransferDataProcessor::InteractiveSessionMissing");
    return nullptr;
  }
  auto interactive = host::query<host::InteractiveSession>(application);
  if (!interactive) {
    Log("TransferDataProcessor::InteractiveSessionUnavailable");
    return nullptr;
  }
  const char* type = DocumentTypeFor(kind);
  std::shared_ptr<host::DocumentEditor> created;
  const host::Status hr = interactive->newDocument(type, created);
  interactive.reset();
  if (host::failed(hr) || !created) {
    Log(std::string("TransferDataProcessor::Interactive") + type +
        "CreateFailed hr=" + std::to_string(static_cast<long>(hr)));
    return nullptr;
  }
  std::shared_ptr<host::Document> document;
  if (std::shared_ptr<host::Editor> editor = created->editor()) {
    application->setCurrentEditor(editor);
    application->activateEditor(editor);
    document = editor->document();
  }
  LogTyped(document ? "InteractiveCreateSuccess" : "InteractiveDocumentMissing", type);
  return document;
}

void TransferDataProcessor::OpenVisibleWindow(const std::shared_ptr<host::Document>& document,
                                              PayloadKind kind) {
  const char* type = DocumentTypeFor(kind);
  std::shared_ptr<host::Application> application = Application();
  std::shared_ptr<host::Editor> editor =
      application ? application->createEditor(document) : nullptr;
  if (!editor) {
    LogTyped("VisibleEditorFailed", type);
    return;
  }
  if (std::shared_ptr<host::Window> window = application->createDefaultWindow(editor)) {
    host::Environment* env = host::environment();
    std::shared_ptr<host::Layout> layout = env != nullptr ? env->currentLayout() : nullptr;
    if (layout) {
      layout->setCurrentWindow(window);
      layout->setWindowEditor(window, editor);
    }
    LogTyped("VisibleWindowCreated", type);
  } else {
    LogTyped("VisibleWindowMissing", type);
  }
  application->setCurrentEditor(editor);
  application->activateEditor(editor);
}

void TransferDataProcessor::FillFailureResult(MardelImportResult& result, std::string_view message,
                                              std::string_view detail) {
  result = MardelImportResult{};
  result.status = kStatusFailed;
  result.errorCode = 100;
  CopyText(result.message, message);
  CopyText(result.warning, detail);
}

void TransferDataProcessor::LogResultTexts(const MardelImportResult& result) {
  const std::string_view message = TextOf(result.message);
  const std::string_view warning = TextOf(result.warning);
  if (!message.empty()) Log(std::string(message));
  if (!warning.empty()) Log(std::string(warning));
}

void TransferDataProcessor::SetDrawDelayMs(uint32_t delayMs) {
  PublishDrawDelayMs(delayMs);
}

uint32_t TransferDataProcessor::DrawDelayMs() {
  return PublishedDrawDelayMs();
}

void TransferDataProcessor::SetCoreLogSink(MardelLogSinkFn sink, void* context) {
  g_coreLogContext.store(context);
  g_coreLogSink.store(sink);
}

std::shared_ptr<host::Document> TransferDataProcessor::TargetDocument(PayloadKind kind) {
  std::shared_ptr<host::Application> application = Application();
  std::shared_ptr<host::Editor> editor = application ? application->currentEditor() : nullptr;
  if (!editor) {
    Log("TransferDataProcessor::ActiveEditorMissing");
  } else if (std::shared_ptr<host::Document> document = editor->document()) {
    return document;
  } else {
    Log("TransferDataProcessor::ActiveDocumentMissing");
  }
  LogTyped("UseAutoCreated", DocumentTypeFor(kind));
  return AutoCreateDocument(kind);
}

MardelImportOptions TransferDataProcessor::PartOptions(PayloadKind kind) {
  MardelImportOptions options{};
  options.mode = kind == PayloadKind::PartSequences ? 1 : 0;
  options.clearPart = 1;
  options.radius = 300.0;
  options.height = 500.0;
  options.preparedParts = nullptr;
  options.preparedPartCount = 0;
  options.drawDelayMs = static_cast<int32_t>(DrawDelayMs());
  return options;
}

int32_t TransferDataProcessor::DrawPart(const CoreExports& exports, PayloadKind kind,
                                        const Bytes& bytes,
                                        std::shared_ptr<host::Document>& document,
                                        MardelImportResult& result) {
  MardelImportOptions options = PartOptions(kind);
  int32_t status = exports.drawJson(document.get(), bytes.data(), bytes.size(), &options, &result);
  if (status != kStatusFailed || result.errorCode != kCodeNotAPart) return status;
  Log("TransferDataProcessor::RetryWithAutoCreatedPart");
  std::shared_ptr<host::Document> part = AutoCreateDocument(kind);
  if (!part) return status;
  result = MardelImportResult{};
  options = PartOptions(kind);
  document = part;
  return exports.drawJson(document.get(), bytes.data(), bytes.size(), &options, &result);
}

void TransferDataProcessor::Remember(const std::shared_ptr<host::Document>& document,
                                     int32_t status, const MardelImportResult& result) {
  for (auto it = draws_.begin(); it != draws_.end();) {
    std::shared_ptr<host::Document> held = it->document.lock();
    it = !held || host::sameObject(held, document) ? draws_.erase(it) : it + 1;
  }
  draws_.push_back(DrawRecord{document, status, result});
}

}  // namespace vantrel
