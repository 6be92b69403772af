// The transfer processor: complete JSON payloads drawn through the core module.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/document.h"
#include "kestrun/kestrun.h"
#include "platform/dynamic_library.h"
#include "vantrel/core_exports.h"
#include "vantrel/draw_report.h"
#include "vantrel/payload_kind.h"
#include "vantrel/transfer_services.h"

namespace vantrel {

// Draws complete JSON payloads into the host: picks the target document (the current
// editor's, or a new one), loads the core module by path for the one draw, binds its exports
// by name, calls the draw entry (once more into a new Part when the document is not a usable
// Part), logs the outcome under "transfer.processor" and unloads the module. Nothing of the
// outcome goes back to the caller; nothing is thrown.
class TransferDataProcessor : public JsonPayloadProcessor {
 public:
  // The outcome of the last draw into one document.
  struct DrawRecord {
    std::weak_ptr<host::Document> document;
    int32_t status = 0;
    MardelImportResult result{};
  };

  void DrawJson(const std::string& json) override { ProcessTransfer("json", json); }
  // Draws as DrawJson with the core's report sink installed for the one draw (the sink
  // installed before still gets every event and is put back), and answers the report message.
  std::string DrawJsonWithReport(const std::string& json) override;
  // Draws the data when the mode is "json"; other modes are not for drawing. With `report`,
  // the draw's report goes there.
  void ProcessTransfer(std::string_view mode, const std::string& data,
                       DrawReport* report = nullptr);
  void DrawJsonPayload(const std::string& json, DrawReport* report = nullptr);

  // The last draw into `document`, while the document lives.
  std::optional<DrawRecord> LastDraw(const std::shared_ptr<host::Document>& document) const;

  // TOLVANE_MARDEL_CORE_DLL (1 to 259 characters), else the core beside this module under
  // Fennick/bin, else the core's bare file name for the loader's own search.
  static std::string ResolveCorePath();
  static bool BindCoreExports(const platform::DynamicLibrary& module, PayloadKind kind,
                              CoreExports& exports);
  // A new document of the kind's type, shown in a window; null (logged) when none is made.
  static std::shared_ptr<host::Document> AutoCreateDocument(PayloadKind kind);
  static std::shared_ptr<host::Document> CreateInteractiveDocument(PayloadKind kind);
  static void OpenVisibleWindow(const std::shared_ptr<host::Document>& document, PayloadKind kind);
  static void FillFailureResult(MardelImportResult& result, std::string_view message,
                                std::string_view detail);
  static void LogResultTexts(const MardelImportResult& result);

  // The two stages of a Product draw: every source part drawn into a Part of its own, numbered,
  // saved as "<i>.CATPart" in a new folder and closed; then the Product drawn with those files
  // as prepared parts, once more into a new Product when the core refuses the document (code
  // 100). Returns the last draw's status, or 2 when the preparation failed; `document` becomes
  // the new Product after a retry.
  static int32_t DrawProductJson(const CoreExports& exports,
                                 std::shared_ptr<host::Document>& document,
                                 const std::vector<unsigned char>& bytes,
                                 MardelImportResult& result);
  // True when at least one source part was prepared; otherwise `result` (when given) says why.
  static bool PrepareProductSourceParts(const CoreExports& exports,
                                        const std::vector<unsigned char>& bytes,
                                        std::vector<ProductPreparedPart>& prepared,
                                        MardelImportResult* result);
  // A new folder under the temporary folder for one Product draw's Part files; empty when none
  // can be made.
  static std::string CreateProductPartsFolder();

  // The draw delay handed to the core: one process-wide value, 0 until a panel host
  // publishes the configured one.
  static void SetDrawDelayMs(uint32_t delayMs);
  static uint32_t DrawDelayMs();
  // Where the core's log lines go during each draw: one process-wide sink, handed to
  // every core module that exports the setter; null leaves the core's default.
  static void SetCoreLogSink(MardelLogSinkFn sink, void* context);

 private:
  using Bytes = std::vector<unsigned char>;

  static std::shared_ptr<host::Document> TargetDocument(PayloadKind kind);
  static MardelImportOptions PartOptions(PayloadKind kind);
  static int32_t DrawPart(const CoreExports& exports, PayloadKind kind, const Bytes& bytes,
                          std::shared_ptr<host::Document>& document, MardelImportResult& result);
  void Remember(const std::shared_ptr<host::Document>& document, int32_t status,
                const MardelImportResult& result);

  std::vector<DrawRecord> draws_;
};

}  // namespace vantrel
