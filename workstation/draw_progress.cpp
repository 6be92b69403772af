#include "workstation/draw_progress.h"

#include <algorithm>

namespace workstation {
namespace {

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

void DrawProgress::begin(std::uint32_t total) {
  std::shared_ptr<host::Document> document = targetOf ? targetOf() : nullptr;
  imports_.erase(std::remove_if(imports_.begin(), imports_.end(),
                                [&](const Import& i) {
                                  return i.document.expired() || i.document.lock() == document;
                                }),
                 imports_.end());
  imports_.push_back(Import{document, total, {}, std::vector<bool>(total), 0});
  current_ = &imports_.back();
  current_->items.resize(total);
  if (total == 0) finish();
}

void DrawProgress::itemStarted(const ItemRecord& item) {
  if (current_ == nullptr) return;
  ++current_->started;
  if (onStatus)
    onStatus("item " + std::to_string(current_->started) + " of " +
             std::to_string(current_->total) + ": " + itemLabel(item));
}

void DrawProgress::itemDone(std::uint32_t index, ItemRecord item) {
  if (current_ == nullptr || index >= current_->total) return;
  current_->items[index] = std::move(item);
  if (!current_->reported[index]) {
    current_->reported[index] = true;
    ++current_->reportedCount;
  }
  if (current_->reportedCount == current_->total) finish();
}

void DrawProgress::finish() {
  Import& import = *current_;
  current_ = nullptr;
  std::size_t failed = 0;
  for (const ItemRecord& item : import.items) failed += item.outcome == ItemOutcome::Failed;
  if (onStatus)
    onStatus("Drawn: " + std::to_string(import.total) + " items, " + std::to_string(failed) +
             " failed");
  if (onDrawEnded) onDrawEnded(import.document.lock());
}

}  // namespace workstation
