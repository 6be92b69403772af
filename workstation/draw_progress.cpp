#include "workstation/draw_progress.h"

#include <algorithm>

namespace workstation {
namespace {

std::string text(const MardelText& t) {
  return t.text != nullptr ? std::string(t.text, t.size) : std::string();
}

std::vector<std::string> texts(const MardelText* list, std::uint64_t count) {
  std::vector<std::string> out;
  for (std::uint64_t i = 0; list != nullptr && i < count; ++i) out.push_back(text(list[i]));
  return out;
}

ItemRecord recordOf(const MardelItemReport& report) {
  ItemRecord item;
  item.id = text(report.id);
  item.type = text(report.type);
  item.name = text(report.name);
  item.outcome = report.outcome;
  item.messages = texts(report.messages, report.messageCount);
  item.objects = texts(report.objects, report.objectCount);
  item.hasBody = report.hasBody != 0;
  item.body = text(report.body);
  item.reason = text(report.reason);
  return item;
}

bool startsWith(const std::string& s, const char* prefix) {
  return s.rfind(prefix, 0) == 0;
}

}  // namespace

std::string itemLabel(const ItemRecord& item) {
  return item.name.empty() ? item.id : item.name;
}

std::string itemProblem(const ItemRecord& item) {
  for (const std::string& m : item.messages) {
    if (m.find("(Update) ERROR") != std::string::npos) return m;
  }
  for (auto m = item.messages.rbegin(); m != item.messages.rend(); ++m) {
    if (startsWith(*m, "warning:") || startsWith(*m, "error:")) return *m;
  }
  if (!item.reason.empty()) return item.reason;
  return item.messages.empty() ? std::string() : item.messages.front();
}

// The status bar shows names and outcomes: measuring the body after every item would cost
// the draw what the view does not show.
DrawProgress::DrawProgress() {
  MardelImport_SetReportSinkWithFlags(&DrawProgress::sink, this, MARDEL_REPORT_NO_VOLUMES);
}

DrawProgress::~DrawProgress() {
  MardelImport_SetReportSink(nullptr, nullptr);
}

void DrawProgress::sink(void* context, std::int32_t event, const MardelItemReport* report) {
  if (context == nullptr || report == nullptr) return;
  try {
    static_cast<DrawProgress*>(context)->onEvent(event, *report);
  } catch (...) {
    // What the status bar and the tree show is not worth a failed draw.
  }
}

std::vector<ItemRecord> DrawProgress::itemsOf(
    const std::shared_ptr<host::Document>& document) const {
  std::vector<ItemRecord> items;
  for (const Import& import : imports_) {
    if (import.document.expired() || import.document.lock() != document) continue;
    for (std::size_t i = 0; i < import.items.size(); ++i) {
      if (import.reported[i]) items.push_back(import.items[i]);
    }
  }
  return items;
}

void DrawProgress::onEvent(std::int32_t event, const MardelItemReport& report) {
  if (event == MARDEL_REPORT_BEGIN) {
    begin(report);
  } else if (event == MARDEL_REPORT_ITEM_START && current_ != nullptr) {
    // The start of an item carries no index yet: the items are counted as they start.
    ++current_->started;
    if (onStatus)
      onStatus("item " + std::to_string(current_->started) + " of " +
               std::to_string(current_->total) + ": " + itemLabel(recordOf(report)));
  } else if (event == MARDEL_REPORT_ITEM_DONE && current_ != nullptr) {
    done(report);
  }
}

void DrawProgress::begin(const MardelItemReport& report) {
  std::shared_ptr<host::Document> document = targetOf ? targetOf() : nullptr;
  imports_.erase(std::remove_if(imports_.begin(), imports_.end(),
                                [&](const Import& i) {
                                  return i.document.expired() || i.document.lock() == document;
                                }),
                 imports_.end());
  imports_.push_back(Import{document, report.total, {}, std::vector<bool>(report.total), 0});
  current_ = &imports_.back();
  current_->items.resize(report.total);
  if (report.total == 0) finish();
}

void DrawProgress::done(const MardelItemReport& report) {
  if (report.index >= current_->total) return;
  current_->items[report.index] = recordOf(report);
  if (!current_->reported[report.index]) {
    current_->reported[report.index] = true;
    ++current_->reportedCount;
  }
  if (current_->reportedCount == current_->total) finish();
}

void DrawProgress::finish() {
  Import& import = *current_;
  current_ = nullptr;
  std::size_t failed = 0;
  for (const ItemRecord& item : import.items) failed += item.outcome == MARDEL_ITEM_FAILED;
  if (onStatus)
    onStatus("Drawn: " + std::to_string(import.total) + " items, " + std::to_string(failed) +
             " failed");
  if (onDrawEnded) onDrawEnded(import.document.lock());
}

}  // namespace workstation
