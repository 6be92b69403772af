#include "desktop/core_drawing.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "kestrun/kestrun.h"
#include "vantrel/core_exports.h"
#include "vantrel/transfer_data_processor.h"
#include "workstation/workstation.h"

namespace desktop {
namespace {

using DrawResult = workstation::Workstation::DrawResult;

std::string text(const MardelText& t) {
  return t.text != nullptr ? std::string(t.text, t.size) : std::string();
}

std::vector<std::string> texts(const MardelText* list, std::uint64_t count) {
  std::vector<std::string> out;
  for (std::uint64_t i = 0; list != nullptr && i < count; ++i) out.push_back(text(list[i]));
  return out;
}

workstation::ItemRecord recordOf(const MardelItemReport& report) {
  workstation::ItemRecord item;
  item.id = text(report.id);
  item.type = text(report.type);
  item.name = text(report.name);
  item.outcome = static_cast<workstation::ItemOutcome>(report.outcome);
  item.messages = texts(report.messages, report.messageCount);
  item.objects = texts(report.objects, report.objectCount);
  item.hasBody = report.hasBody != 0;
  item.body = text(report.body);
  item.reason = text(report.reason);
  return item;
}

void onReport(void* context, std::int32_t event, const MardelItemReport* report) {
  if (context == nullptr || report == nullptr) return;
  workstation::DrawProgress& progress = *static_cast<workstation::DrawProgress*>(context);
  try {
    if (event == MARDEL_REPORT_BEGIN) {
      progress.begin(report->total);
    } else if (event == MARDEL_REPORT_ITEM_START) {
      progress.itemStarted(recordOf(*report));
    } else if (event == MARDEL_REPORT_ITEM_DONE) {
      progress.itemDone(report->index, recordOf(*report));
    }
  } catch (...) {
    // What the status bar and the tree show is not worth a failed draw.
  }
}

DrawResult resultOf(const MardelImportResult& core) {
  DrawResult result;
  result.status = core.status;
  result.errorCode = core.errorCode;
  result.createdCount = core.createdCount;
  result.message.assign(core.message, strnlen(core.message, sizeof core.message));
  return result;
}

int drawPart(const std::shared_ptr<host::Document>& document, const std::string& json,
             std::uint32_t delayMs, DrawResult& result) {
  MardelImportOptions options{0, 1, 300.0, 500.0, nullptr, 0, static_cast<int32_t>(delayMs)};
  MardelImportResult core{};
  const int status =
      MardelImport_DrawJson(document.get(), reinterpret_cast<const unsigned char*>(json.data()),
                            json.size(), &options, &core);
  result = resultOf(core);
  return status;
}

int drawProduct(std::shared_ptr<host::Document>& document, const std::string& json,
                DrawResult& result) {
  vantrel::CoreExports exports;
  exports.drawJson = &MardelImport_DrawJson;
  exports.listProductSourceParts = &MardelImport_ListProductSourceParts;
  exports.freeProductSourcePartSpecs = &MardelImport_FreeProductSourcePartSpecs;
  exports.assignProductSourcePartNumber = &MardelImport_AssignProductSourcePartNumber;
  const std::vector<unsigned char> bytes(json.begin(), json.end());
  MardelImportResult core{};
  const int status =
      vantrel::TransferDataProcessor::DrawProductJson(exports, document, bytes, core);
  result = resultOf(core);
  return status;
}

}  // namespace

// The status bar and the tree show names and outcomes: measuring the body after every item
// would cost the draw what the view does not show.
CoreDrawing::CoreDrawing(workstation::Workstation& ws) : ws_(ws) {
  ws_.setPartDrawer(&drawPart);
  ws_.setProductDrawer(&drawProduct);
  MardelImport_SetReportSinkWithFlags(&onReport, &ws_.progress(), MARDEL_REPORT_NO_VOLUMES);
}

CoreDrawing::~CoreDrawing() {
  MardelImport_SetReportSink(nullptr, nullptr);
  ws_.setPartDrawer(nullptr);
  ws_.setProductDrawer(nullptr);
}

}  // namespace desktop
