// The per-item report of a part import: what each item of the list became, handed to
// the caller's report sink as the import goes (see MardelImport_SetReportSink).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <rapidjson/document.h>

#include "host/spec_object.h"
#include "kestrun/kestrun.h"

namespace kestrun {

class Writer;

// Whether a log line belongs in an item's messages: warnings and errors, whatever their
// wording, but not the "debug:" and "info:" lines, nor the trace lines without a level
// word ("alias = ...", "hole points size: ...").
bool isReportedLine(std::string_view line);

// The installed sink; null when none.
struct ReportSink {
  MardelReportSinkFn sink = nullptr;
  void* context = nullptr;
  // Whether each record measures its body's volume.
  bool volumes = true;
  // Whether built items list their faces and edges as descriptors at the end.
  bool descriptors = false;
};
ReportSink& reportSink();

struct ItemRecord {
  std::uint32_t index = 0;
  std::string id, type, name;
  std::int32_t outcome = MARDEL_ITEM_BUILT;
  std::vector<std::string> messages, objects;
  bool hasBody = false;
  std::string body;
  bool hasVolume = false;
  double volume = 0;
  double seconds = 0;
  std::string reason;
};

// One per import. It takes the sink installed when the import begins; without one every
// call returns at once, so that an import without a report does none of its work.
class ItemReporter {
 public:
  ItemReporter() = default;
  ItemReporter(const ItemReporter&) = delete;
  ItemReporter& operator=(const ItemReporter&) = delete;
  ~ItemReporter();

  bool active() const { return sink_.sink != nullptr; }
  // `total` is the number of elements in the item list: each gets one record.
  void begin(std::size_t total, const host::SpecObjectPtr& partObject);
  // An element the registration turned away, with the warning it gave.
  void skipped(const rapidjson::Value& element, std::string_view warning);
  // A warning the pipeline recorded while resolving the item `id`.
  void noteWarning(const std::string& id, std::string_view warning);
  // Around the writer's run: the lines it logs become the item's messages.
  void start(const Writer& writer);
  void finish(Writer& writer, bool failed);
  // Names a recorded item again (a closing update failed it) and sends it again.
  void failLater(const std::string& id, std::string_view message);
  // Every element of `items` without a record yet; `reason(id)` says why it was not built.
  void finishList(const rapidjson::Value& items,
                  const std::function<std::string(const std::string&)>& reason);
  // Once the solids are final: each built item's record again, with its faces and edges as
  // descriptors, when the sink asked for them.
  void listDescriptors();

 private:
  static void observeLine(void* context, std::string_view line);
  void send(std::int32_t event, const ItemRecord& record,
            const std::vector<std::string>& descriptors = {}) const;
  void placeIn(ItemRecord& record, Writer& writer);
  void judgeEffect(ItemRecord& record, Writer& writer);
  void collectNewObjects(std::vector<std::string>& out);
  void stopObserving();

  ReportSink sink_;
  std::uint32_t total_ = 0;
  std::uint32_t sent_ = 0;
  host::SpecObjectPtr part_;
  std::uint64_t journalMark_ = 0;  // the Part's creation journal after the last item
  ItemRecord current_;
  bool observing_ = false;
  bool quietMissingIds_ = false;  // the next "invalid or missing ids" line is no error
  host::SpecObjectPtr placedBody_, placedFeature_;  // where placeIn found the last item
  std::chrono::steady_clock::time_point started_;
  std::set<const rapidjson::Value*> recorded_;
  std::map<const rapidjson::Value*, std::string> skipped_;
  std::map<std::string, std::vector<std::string>> notes_;
  std::map<std::string, ItemRecord> done_;               // written items by id, for failLater
  std::map<std::string, host::SpecObjectPtr> features_;  // what they made, for descriptors
};

}  // namespace kestrun
