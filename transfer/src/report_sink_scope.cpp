#include "report_sink_scope.h"

namespace vantrel {

ReportSinkScope::ReportSinkScope(const CoreExports& exports, DrawReport* report) {
  if (report == nullptr) return;
  // Without the reader the sink there before could not be put back.
  if (exports.getReportSink == nullptr || exports.setReportSink == nullptr) {
    report->Refuse("report.unavailable",
                   "the core module does not export MardelImport_GetReportSink and "
                   "MardelImport_SetReportSinkWithFlags");
    return;
  }
  exports.getReportSink(&previous_, &previousContext_, &previousFlags_);
  report->ChainTo(previous_, previousContext_);
  set_ = exports.setReportSink;
  set_(&DrawReport::Sink, report, MARDEL_REPORT_DESCRIPTORS);
  // A core that does not list descriptors gives records without them: read them only when it
  // says it took the flag.
  MardelReportSinkFn installed = nullptr;
  void* context = nullptr;
  uint32_t taken = 0;
  exports.getReportSink(&installed, &context, &taken);
  report->ReadDescriptors((taken & MARDEL_REPORT_DESCRIPTORS) != 0);
}

ReportSinkScope::~ReportSinkScope() {
  if (set_ != nullptr) set_(previous_, previousContext_, previousFlags_);
}

}  // namespace vantrel
