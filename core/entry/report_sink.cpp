// The exported report sink: the caller's function receives the per-item report.
#include "core/entry/item_report.h"
#include "kestrun/kestrun.h"

KESTRUN_EXTERN_C KESTRUN_EXPORT void MardelImport_SetReportSink(MardelReportSinkFn sink,
                                                                void* context) {
  kestrun::reportSink() = kestrun::ReportSink{sink, sink ? context : nullptr};
}
