// A window's table of open transfers, and the limits that bound it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "vantrel/transfer_batch.h"

namespace vantrel {

// Bounds that keep one sender from exhausting memory. The defaults leave room for any payload
// the front end sends in normal use (a CAD model or STEP file of hundreds of megabytes).
struct TransferLimits {
  size_t maxChunkCount = 4096;
  size_t maxOpenTransfers = 64;
  size_t maxNameBytes = 1024;
  size_t maxChunkBytes = size_t{64} << 20;  // 64 MiB
  size_t maxHeldBytes = size_t{1} << 30;    // 1 GiB over all open transfers
};

// The open large transfers of one panel window, by name (byte-wise order, case-sensitive).
class TransferTable {
 public:
  explicit TransferTable(TransferLimits limits = {}) : limits_(limits) {}

  const TransferLimits& Limits() const { return limits_; }
  TransferBatch* Find(const std::string& name);
  // Whether a new transfer of this name fits (replacing one of the same name always does).
  bool HasRoomFor(const std::string& name) const;
  // Opens (or replaces) a transfer with `size` empty chunks; `mode` is the text of `kind`.
  void Start(const std::string& name, size_t size, TransferMode kind, const std::string& mode);
  // Stores a chunk unless the held bytes would pass the limit.
  bool Store(TransferBatch& batch, size_t index, std::string chunk);
  // Where the chunk for `index` can be decoded in place, taking `room` bytes at most while it
  // is: the end of the batch's joined text when the chunk comes next in order and the room is
  // there; else null.
  std::string* JoinedTail(TransferBatch& batch, size_t index, size_t room);
  // Keeps the chunk decoded at the end of the joined text from `start` on as chunk `index`,
  // unless the held bytes would pass the limit: then it is cut off again.
  bool StoreJoined(TransferBatch& batch, size_t index, size_t start);
  void Remove(const std::string& name);
  size_t OpenCount() const { return batches_.size(); }
  size_t HeldBytes() const { return heldBytes_; }

 private:
  bool Fits(const TransferBatch& batch, size_t index, size_t size) const;
  void Count(TransferBatch& batch, size_t old, size_t size);
  void Join(TransferBatch& batch, std::string&& chunk);
  void JoinWaitingChunks(TransferBatch& batch);
  void Unjoin(TransferBatch& batch);

  TransferLimits limits_;
  std::map<std::string, TransferBatch> batches_;
  size_t heldBytes_ = 0;
};

}  // namespace vantrel
