// The exported report sink: the caller's function receives the per-item report.
#include "entry/item_report.h"
#include "kestrun/kestrun.h"

KESTRUN_EXTERN_C KESTRUN_EXPORT void MardelImport_SetReportSinkWithFlags(MardelReportSinkFn sink,
                                                                         void* context,
                                                                         uint32_t flags) {
  const bool volumes = (flags & MARDEL_REPORT_NO_VOLUMES) == 0;
  const bool descriptors = (flags & MARDEL_REPORT_DESCRIPTORS) != 0;
  kestrun::reportSink() = kestrun::ReportSink{sink, sink ? context : nullptr, volumes, descriptors};
}

KESTRUN_EXTERN_C KESTRUN_EXPORT void MardelImport_SetReportSink(MardelReportSinkFn sink,
                                                                void* context) {
  MardelImport_SetReportSinkWithFlags(sink, context, 0);
}

KESTRUN_EXTERN_C KESTRUN_EXPORT void MardelImport_GetReportSink(MardelReportSinkFn* sink,
                                                                void** context, uint32_t* flags) {
  const kestrun::ReportSink& installed = kestrun::reportSink();
  if (sink != nullptr) *sink = installed.sink;
  if (context != nullptr) *context = installed.context;
  if (flags != nullptr) {
    *flags = 0;
    if (installed.sink && !installed.volumes) *flags |= MARDEL_REPORT_NO_VOLUMES;
    if (installed.sink && installed.descriptors) *flags |= MARDEL_REPORT_DESCRIPTORS;
  }
}
