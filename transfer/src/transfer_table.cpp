#include "vantrel/transfer_table.h"

#include <algorithm>

#include "platform/memory_advice.h"

namespace vantrel {
namespace {

// Joined texts this long are worth backing with large pages.
constexpr size_t kLargeJoinedBytes = size_t{8} << 20;

size_t HeldSize(const TransferBatch& batch, size_t index) {
  if (index >= batch.joinedEnds.size()) return batch.chunks[index].size();
  return batch.joinedEnds[index] - (index == 0 ? 0 : batch.joinedEnds[index - 1]);
}

}  // namespace

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
  batch.joinable = kind == TransferMode::Json || kind == TransferMode::Text;
  batches_.emplace(name, std::move(batch));
}

bool TransferTable::Fits(const TransferBatch& batch, size_t index, size_t size) const {
  return size <= limits_.maxHeldBytes - (heldBytes_ - HeldSize(batch, index));
}

void TransferTable::Count(TransferBatch& batch, size_t old, size_t size) {
  heldBytes_ = heldBytes_ - old + size;
  batch.heldBytes = batch.heldBytes - old + size;
}

// Nothing changes before the chunk is in place, so a failed allocation loses nothing.
bool TransferTable::Store(TransferBatch& batch, size_t index, std::string chunk) {
  // A joined chunk sent again: the transfer goes back to chunks kept apart.
  if (index < batch.joinedEnds.size()) Unjoin(batch);
  if (!Fits(batch, index, chunk.size())) return false;
  const size_t size = chunk.size();
  const size_t old = HeldSize(batch, index);
  if (batch.joinable && index == batch.joinedEnds.size()) {
    Join(batch, std::move(chunk));
    Count(batch, old, size);
    batch.received[index] = true;
    JoinWaitingChunks(batch);
    return true;
  }
  // A decoded chunk keeps the room its escaped form took (twice its size for text made of
  // quotes); held chunks give it back so that the held-bytes bound is the memory held.
  if (chunk.capacity() - chunk.size() > chunk.size() / 8) chunk.shrink_to_fit();
  Count(batch, old, size);
  batch.chunks[index] = std::move(chunk);
  batch.received[index] = true;
  return true;
}

std::string* TransferTable::JoinedTail(TransferBatch& batch, size_t index, size_t room) {
  if (!batch.joinable || batch.joinedEnds.empty() || index != batch.joinedEnds.size()) {
    return nullptr;
  }
  std::string& joined = batch.joined;
  return joined.capacity() - joined.size() >= room ? &joined : nullptr;
}

bool TransferTable::StoreJoined(TransferBatch& batch, size_t index, size_t start) {
  const size_t size = batch.joined.size() - start;
  if (!Fits(batch, index, size)) {
    batch.joined.resize(start);
    return false;
  }
  batch.joinedEnds.reserve(batch.chunks.size());
  Count(batch, HeldSize(batch, index), size);
  batch.received[index] = true;
  batch.joinedEnds.push_back(batch.joined.size());
  JoinWaitingChunks(batch);
  return true;
}

// The first chunk reserves room for all of them at its size (and one more, for decoding the
// last in place), within the held-bytes bound, so that later chunks are decoded into place
// and the joined text never moves.
void TransferTable::Join(TransferBatch& batch, std::string&& chunk) {
  batch.joinedEnds.reserve(batch.chunks.size());
  if (batch.joinedEnds.empty()) {
    if (batch.chunks.size() == 1) {
      if (chunk.capacity() - chunk.size() > chunk.size() / 8) chunk.shrink_to_fit();
      batch.joined = std::move(chunk);
    } else {
      const size_t slots = batch.chunks.size() + 1;
      const size_t wanted =
          chunk.size() > limits_.maxHeldBytes / slots ? limits_.maxHeldBytes : chunk.size() * slots;
      batch.joined.reserve(std::max(wanted, chunk.size()));
      if (batch.joined.capacity() >= kLargeJoinedBytes) {
        platform::AdviseLargeBuffer(batch.joined.data(), batch.joined.capacity());
      }
      batch.joined += chunk;
    }
  } else {
    batch.joined += chunk;
  }
  batch.joinedEnds.push_back(batch.joined.size());
}

// Chunks that came early join once the ones before them are there.
void TransferTable::JoinWaitingChunks(TransferBatch& batch) {
  for (size_t next = batch.joinedEnds.size(); next < batch.chunks.size() && batch.received[next];
       next = batch.joinedEnds.size()) {
    Join(batch, std::move(batch.chunks[next]));
    batch.chunks[next] = std::string();
  }
}

void TransferTable::Unjoin(TransferBatch& batch) {
  size_t begin = 0;
  for (size_t i = 0; i < batch.joinedEnds.size(); ++i) {
    batch.chunks[i] = batch.joined.substr(begin, batch.joinedEnds[i] - begin);
    begin = batch.joinedEnds[i];
  }
  batch.joined = std::string();
  batch.joinedEnds.clear();
  batch.joinable = false;
}

void TransferTable::Remove(const std::string& name) {
  auto found = batches_.find(name);
  if (found == batches_.end()) return;
  heldBytes_ -= found->second.heldBytes;
  batches_.erase(found);
}

}  // namespace vantrel
