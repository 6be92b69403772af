// Gathers the core's per-item report during a draw and writes it as one JSON document.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/validate/problem.h"
#include "kestrun/kestrun.h"

namespace kestrun_app {

// What is wrong with an item, in the document's terms: where (the JSON pointer and the key),
// what should be there, the likely fix, and what happened.
struct ItemProblem {
  std::string pointer, key, expected, suggestion, message;
};

struct ReportItem {
  std::string id, type, name;
  std::int32_t outcome = MARDEL_ITEM_BUILT;
  std::vector<std::string> messages, objects;
  std::optional<std::string> body;
  std::optional<double> volume;
  double seconds = 0;
  std::string reason;
  std::optional<ItemProblem> problem;
  // The faces and edges the item owns on the final solid, as JSON descriptor objects.
  std::vector<std::string> descriptors;
};

struct ReportSummary {
  std::size_t items = 0, built = 0, warned = 0, failed = 0, skipped = 0, neverReached = 0;
  std::size_t unsupported = 0, noEffect = 0;
  bool fallback = false;  // no item list was found: the core drew its fallback cylinder
  bool empty = false;     // the item list held nothing: nothing was drawn
  double seconds = 0;
  std::optional<double> volume;
};

// Sets the summary's flags from the draw's result record.
void flagDocument(ReportSummary& summary, const MardelImportResult& result);

// The text the report uses for an outcome ("built", "warned", ...).
const char* outcomeWord(std::int32_t outcome);

class ReportCollector {
 public:
  // Takes one event of the core's report sink. Imports of several Parts (a product's
  // source parts) follow one another in one list.
  void take(std::int32_t event, const MardelItemReport& item);

  const std::vector<ReportItem>& items() const { return items_; }
  std::vector<ReportItem>& items() { return items_; }
  // Counts of the items by outcome, with the draw's time and the Part's volume.
  ReportSummary summary(double seconds, std::optional<double> volume) const;

 private:
  std::vector<ReportItem> items_;
  std::size_t importStart_ = 0;  // where the current import's records begin
};

// The report document: "file", "result" (the result line's object, as it is), "summary"
// and "items". Texts that are not valid UTF-8 get U+FFFD for each bad byte. The problems
// found in the document before the draw go to the first item of their id ("problems"),
// those of no item to the document's own "problems"; neither key is written when empty.
std::string reportJson(const std::string& file, const std::string& resultObject,
                       const ReportSummary& summary, const std::vector<ReportItem>& items,
                       const std::vector<kestrun_validate::Problem>& problems = {});

// The volume of all solids of the document's Part (mm^3); none for a document without a
// Part or a Part without solids.
std::optional<double> partSolidsVolume(const std::shared_ptr<host::Document>& document);

// Writes `text` to the file `path`, or to standard output for "-"; false on failure, with
// the system's reason in `reason` (when given).
bool writeText(const std::string& path, const std::string& text, std::string* reason = nullptr);

// `text` with every byte that is not part of valid UTF-8 replaced by U+FFFD.
std::string validUtf8(const std::string& text);

}  // namespace kestrun_app
