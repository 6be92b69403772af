#include "transfer_handlers.h"
#include "transfer_replies.h"
#include "vantrel/chunk_hash.h"
#include "vantrel/json_field_readers.h"

namespace vantrel {

TransferOutcome HandleTransferLargeData(TransferPacket& packet) {
  JsonFieldScanner fields(packet.body);
  std::optional<std::string> name = fields.StringField("name");
  std::optional<int32_t> index = fields.IntField("index");
  std::optional<std::string> chunk = fields.StringField("data");
  if (!name || !index || !chunk) {
    return FailedOutcome(packet.command, "transferLargeData requires name, index and data");
  }
  std::optional<std::string> hash = fields.StringField("hash");
  TransferBatch* batch = packet.table.Find(*name);
  if (batch == nullptr)
    return FailedOutcome(packet.command, "transferLargeData batch was not started");
  if (*index < 0 || static_cast<size_t>(*index) >= batch->chunks.size()) {
    return FailedOutcome(packet.command, "transferLargeData index out of range");
  }
  if (packet.kind != batch->kind)
    return FailedOutcome(packet.command, "transferLargeData mode mismatch");
  const size_t slot = static_cast<size_t>(*index);
  const bool checked = hash && !hash->empty();
  if (checked && ChunkHash(*chunk) != *hash) {
    return RetryOutcome(packet.command, *name, {slot});
  }
  if (chunk->size() > packet.table.Limits().maxChunkBytes) {
    return FailedOutcome(packet.command, "transferLargeData chunk exceeds size limit");
  }
  const size_t chunkChars = chunk->size();
  if (!packet.table.Store(*batch, slot, std::move(*chunk))) {
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
