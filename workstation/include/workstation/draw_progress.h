// What the drawer reports of each import as it goes, kept for the workstation: the item
// being written, for the status bar, and each item's outcome, messages and host objects, for
// the model tree and the selection. One per workstation; the drawer feeds it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/document.h"

namespace workstation {

// How an item of an import ended, numbered as the core numbers its outcomes.
enum class ItemOutcome : int {
  Built = 0,
  Warned = 1,
  Failed = 2,
  Skipped = 3,
  NeverReached = 4,
  Unsupported = 5,
  NoEffect = 6
};

struct ItemRecord {
  std::string id;
  std::string type;
  std::string name;
  ItemOutcome outcome = ItemOutcome::Built;
  std::vector<std::string> messages;
  std::vector<std::string> objects;
  bool hasBody = false;
  std::string body;
  std::string reason;
};

// The item's JSON name, or its id when it has none.
std::string itemLabel(const ItemRecord& item);
// The message that says what went wrong with the item: the kernel's update error, else its
// last warning or error line, else why it was not built, else its first message.
std::string itemProblem(const ItemRecord& item);

class DrawProgress {
 public:
  DrawProgress() = default;
  DrawProgress(const DrawProgress&) = delete;
  DrawProgress& operator=(const DrawProgress&) = delete;

  // The document an import that starts now draws into.
  std::function<std::shared_ptr<host::Document>()> targetOf;
  // A line for the status bar: "item 12 of 40: Base bore 3" while drawing, a summary after.
  std::function<void(const std::string&)> onStatus;
  // Every element of the list has been reported: the draw into `document` is over.
  std::function<void(const std::shared_ptr<host::Document>&)> onDrawEnded;

  // The items of the last import into `document` reported so far, in build order.
  std::vector<ItemRecord> itemsOf(const std::shared_ptr<host::Document>& document) const;
  // True between an import's start and its last record.
  bool drawing() const { return current_ != nullptr; }

  // An import of `total` list elements starts, into the document `targetOf` names.
  void begin(std::uint32_t total);
  // The next item is being written (the start of an item carries no index: they are
  // counted as they start).
  void itemStarted(const ItemRecord& item);
  // The element at `index` of the list is done.
  void itemDone(std::uint32_t index, ItemRecord item);

 private:
  struct Import {
    std::weak_ptr<host::Document> document;
    std::uint32_t total = 0;
    std::vector<ItemRecord> items;
    std::vector<bool> reported;
    std::uint32_t reportedCount = 0;
    std::uint32_t started = 0;
  };
  void finish();

  std::vector<Import> imports_;
  Import* current_ = nullptr;
};

}  // namespace workstation
