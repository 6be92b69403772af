// A draw's report sink, installed in the loaded core for that one draw.
#pragma once

#include <cstdint>

#include "vantrel/core_exports.h"
#include "vantrel/draw_report.h"

namespace vantrel {

// Installs `report`'s sink (volumes measured, as `kestrun draw --report` does) and puts back
// the sink that was installed before when it ends; that one still receives every event, so a
// session's own progress display keeps working. Without a report it does nothing; with a
// core that lacks the sink exports it tells the report why there is none.
class ReportSinkScope {
 public:
  ReportSinkScope(const CoreExports& exports, DrawReport* report);
  ~ReportSinkScope();
  ReportSinkScope(const ReportSinkScope&) = delete;
  ReportSinkScope& operator=(const ReportSinkScope&) = delete;

 private:
  MardelImport_SetReportSinkWithFlagsFn set_ = nullptr;
  MardelReportSinkFn previous_ = nullptr;
  void* previousContext_ = nullptr;
  uint32_t previousFlags_ = 0;
};

}  // namespace vantrel
