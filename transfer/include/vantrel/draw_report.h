// The per-item report of one draw that the page asked for: the core's report events gathered
// into the items `kestrun draw --report` writes, and the "plugin:response" message that
// carries them to the page (docs/panel-report.md).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/document.h"
#include "kestrun/kestrun.h"

namespace vantrel {

struct DrawReportItem {
  std::string id, type, name;
  int32_t outcome = MARDEL_ITEM_BUILT;
  std::vector<std::string> messages, objects;
  std::optional<std::string> body;
  std::optional<double> volume;
  double seconds = 0;
  std::string reason;
  // The faces and edges the item owns on the final solid, as JSON descriptor objects.
  std::vector<std::string> descriptors;
};

class DrawReport {
 public:
  // The sink installed in the core for the draw (`context` is the DrawReport): each event goes
  // on to the sink that was there before, then into the report. Never throws.
  static void Sink(void* context, int32_t event, const MardelItemReport* item);
  // The sink that was installed before this report's, to hand every event on to.
  void ChainTo(MardelReportSinkFn sink, void* context);
  // Whether the records carry descriptors: the core said it lists them.
  void ReadDescriptors(bool read) { readDescriptors_ = read; }
  void Take(int32_t event, const MardelItemReport& item);

  // The draw ended with `result`, after `seconds`, leaving `volume` mm^3 in the Part.
  void Finish(const MardelImportResult& result, double seconds, std::optional<double> volume);
  // There is no report: the error answer's code and message (the first refusal stays).
  void Refuse(const std::string& code, const std::string& message);

  const std::vector<DrawReportItem>& Items() const { return items_; }
  // The report document: "result", "summary" and "items" (shapes of
  // docs/kestrun-report.schema.json).
  std::string Json() const;
  // The "plugin:response" message: ok with the report, or the error saying why there is none.
  std::string Response() const;

 private:
  MardelReportSinkFn next_ = nullptr;
  void* nextContext_ = nullptr;
  std::vector<DrawReportItem> items_;
  size_t importStart_ = 0;  // where the current import's records begin
  bool readDescriptors_ = false;
  bool finished_ = false;
  MardelImportResult result_{};
  double seconds_ = 0;
  std::optional<double> volume_;
  std::string refusalCode_, refusalMessage_;
};

// The word the report uses for an outcome ("built", "warned", "failed", ...).
const char* DrawReportOutcomeWord(int32_t outcome);

// The volume of all solids of the document's Part (the report's summary volume); none
// without a Part or a solid.
std::optional<double> PartSolidsVolume(const std::shared_ptr<host::Document>& document);

}  // namespace vantrel
