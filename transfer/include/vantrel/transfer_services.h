// What the transfer protocol hands complete payloads to.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

// The id of the message that carries a draw's per-item report (docs/panel-report.md).
constexpr char kDrawReportId[] = "draw-report";

// Receives complete "json" payloads to draw (the transfer processor). Nothing comes back,
// unless the page asked for the draw's report.
class JsonPayloadProcessor {
 public:
  virtual ~JsonPayloadProcessor() = default;
  virtual void DrawJson(const std::string& json) = 0;
  // Draws as DrawJson does and answers the "plugin:response" message of id kDrawReportId
  // with the draw's per-item report, or the error saying why there is none. One that makes
  // no report draws and says so.
  virtual std::string DrawJsonWithReport(const std::string& json);
};

// Inserts a complete "base64" transfer as a STEP file; the chunks come in index order.
class StepPayloadInserter {
 public:
  virtual ~StepPayloadInserter() = default;
  virtual bool InsertStep(const std::string& name, const std::vector<std::string>& chunks) = 0;
};

// Where complete payloads go; a missing inserter makes every base64 transfer fail.
struct TransferServices {
  JsonPayloadProcessor* processor = nullptr;
  StepPayloadInserter* stepInserter = nullptr;
};

}  // namespace vantrel
