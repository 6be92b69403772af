#include "transfer_handlers.h"
#include "transfer_replies.h"
#include "vantrel/chunk_hash.h"
#include "vantrel/json_field_readers.h"

namespace vantrel {
namespace {

// A chunk read from its packet: decoded either into a string of its own or straight onto the
// end of its transfer's joined text (from `start` on), and hashed on the way. Unless it is
// kept, a chunk decoded onto the joined text is cut off again when it goes.
struct ReadChunk {
  std::string own;
  std::string* joined = nullptr;
  size_t start = 0;
  uint32_t hash = kChunkHashSeed;
  bool present = false;
  bool kept = false;

  ReadChunk() = default;
  ReadChunk(const ReadChunk&) = delete;
  ReadChunk& operator=(const ReadChunk&) = delete;
  ~ReadChunk() {
    if (joined != nullptr && !kept) joined->resize(start);
  }
  size_t Size() const { return joined != nullptr ? joined->size() - start : own.size(); }
};

// The chunk goes onto the joined text when everything that could refuse it before it is
// stored has been looked at and it comes next in order.
void ReadChunkData(TransferPacket& packet, JsonFieldScanner& fields, TransferBatch* batch,
                   std::optional<int32_t> index, ReadChunk& chunk) {
  if (batch != nullptr && index && *index >= 0 &&
      static_cast<size_t>(*index) < batch->chunks.size() && packet.kind == batch->kind) {
    chunk.joined =
        packet.table.JoinedTail(*batch, static_cast<size_t>(*index), fields.DecodeRoom("data"));
  }
  std::string& out = chunk.joined != nullptr ? *chunk.joined : chunk.own;
  chunk.start = out.size();
  chunk.present = fields.AppendStringField("data", out, &chunk.hash);
}

// Stores the chunk in its slot; false when the held bytes would pass the limit.
bool Keep(TransferPacket& packet, TransferBatch& batch, size_t slot, ReadChunk& chunk) {
  if (chunk.joined == nullptr) return packet.table.Store(batch, slot, std::move(chunk.own));
  chunk.kept = true;  // stored or cut off by the table itself
  return packet.table.StoreJoined(batch, slot, chunk.start);
}

}  // namespace

TransferOutcome HandleTransferLargeData(TransferPacket& packet) {
  JsonFieldScanner fields(packet.body);
  std::optional<std::string> name = fields.StringField("name");
  std::optional<int32_t> index = fields.IntField("index");
  TransferBatch* batch = name ? packet.table.Find(*name) : nullptr;
  ReadChunk chunk;
  ReadChunkData(packet, fields, batch, index, chunk);
  if (!name || !index || !chunk.present) {
    return FailedOutcome(packet.command, "transferLargeData requires name, index and data");
  }
  std::optional<std::string> hash = fields.StringField("hash");
  if (batch == nullptr)
    return FailedOutcome(packet.command, "transferLargeData batch was not started");
  if (*index < 0 || static_cast<size_t>(*index) >= batch->chunks.size()) {
    return FailedOutcome(packet.command, "transferLargeData index out of range");
  }
  if (packet.kind != batch->kind)
    return FailedOutcome(packet.command, "transferLargeData mode mismatch");
  const size_t slot = static_cast<size_t>(*index);
  const bool checked = hash && !hash->empty();
  if (checked && ChunkHashText(chunk.hash) != *hash) {
    return RetryOutcome(packet.command, *name, {slot});
  }
  const size_t chunkChars = chunk.Size();
  if (chunkChars > packet.table.Limits().maxChunkBytes) {
    return FailedOutcome(packet.command, "transferLargeData chunk exceeds size limit");
  }
  if (!Keep(packet, *batch, slot, chunk)) {
    return FailedOutcome(packet.command, "transferLargeData open transfers exceed memory limit");
  }
  LogProtocolInfo("protocol_receive cmd=transferLargeData mode=" + packet.mode + " name=" + *name +
                  " index=" + std::to_string(slot) + " data_chars=" + std::to_string(chunkChars) +
                  " hash=" + (checked ? "verified" : "absent"));
  TransferOutcome outcome;
  outcome.kind = TransferOutcomeKind::Accepted;
  outcome.command = packet.command;
  outcome.name = std::move(*name);
  return outcome;
}

}  // namespace vantrel
