#include "vantrel/transfer_table.h"

namespace vantrel {

TransferBatch* TransferTable::Find(const std::string& name) {
  auto found = batches_.find(name);
  return found == batches_.end() ? nullptr : &found->second;
}

bool TransferTable::HasRoomFor(const std::string& name) const {
  return batches_.size() < limits_.maxOpenTransfers || batches_.count(name) != 0;
}

void TransferTable::Start(const std::string& name, size_t size, TransferMode kind,
                          const std::string& mode) {
  Remove(name);
  TransferBatch batch;
  batch.chunks.resize(size);
  batch.received.assign(size, false);
  batch.mode = mode;
  batch.kind = kind;
  batches_.emplace(name, std::move(batch));
}

bool TransferTable::Store(TransferBatch& batch, size_t index, std::string chunk) {
  size_t old = batch.chunks[index].size();
  size_t others = heldBytes_ - old;
  if (chunk.size() > limits_.maxHeldBytes - others) return false;
  heldBytes_ = others + chunk.size();
  batch.heldBytes = batch.heldBytes - old + chunk.size();
  // A decoded chunk keeps the room its escaped form took (twice its size for text made of
  // quotes); held chunks give it back so that the held-bytes bound is the memory held.
  if (chunk.capacity() - chunk.size() > chunk.size() / 8) chunk.shrink_to_fit();
  batch.chunks[index] = std::move(chunk);
  batch.received[index] = true;
  return true;
}

void TransferTable::Remove(const std::string& name) {
  auto found = batches_.find(name);
  if (found == batches_.end()) return;
  heldBytes_ -= found->second.heldBytes;
  batches_.erase(found);
}

}  // namespace vantrel
