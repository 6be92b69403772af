#include "transfer_handlers.h"
#include "transfer_replies.h"
#include "vantrel/json_field_readers.h"

namespace vantrel {
namespace {

// The assembled form of a complete transfer, or why it cannot be assembled yet.
struct Assembly {
  std::string data;
  std::string payloadData;  // empty: the payload carries `data` itself
  bool dataIsJson = false;
  std::optional<size_t> retryIndex;
  std::string failure;
};

std::string Concatenate(const std::vector<std::string>& chunks) {
  size_t total = 0;
  for (const std::string& chunk : chunks) total += chunk.size();
  std::string out;
  out.reserve(total);
  for (const std::string& chunk : chunks) out += chunk;
  return out;
}

Assembly AssembleJsons(const std::vector<std::string>& chunks) {
  Assembly result;
  for (size_t i = 0; i < chunks.size(); ++i) {
    if (!LooksLikeJson(chunks[i])) {
      result.retryIndex = i;
      return result;
    }
  }
  result.data = "[";
  for (size_t i = 0; i < chunks.size(); ++i) {
    if (i > 0) result.data.push_back(',');
    result.data += chunks[i];
  }
  result.data.push_back(']');
  result.dataIsJson = true;
  return result;
}

Assembly AssembleTexts(const std::vector<std::string>& chunks) {
  Assembly result;
  result.data = "[";
  for (size_t i = 0; i < chunks.size(); ++i) {
    if (i > 0) result.data.push_back(',');
    result.data += "\"" + EscapeJsonString(chunks[i]) + "\"";
  }
  result.data.push_back(']');
  result.dataIsJson = true;
  return result;
}

// "json" and "text": the chunks concatenated; a "json" text that does not look like JSON
// fails and leaves the transfer open.
Assembly AssembleConcatenation(const TransferBatch& batch) {
  Assembly result;
  result.data = Concatenate(batch.chunks);
  result.dataIsJson = LooksLikeJson(result.data);
  if (batch.kind == TransferMode::Json && !result.dataIsJson) {
    result.failure = "transferLargeEnd json data is not json";
  } else if (batch.kind == TransferMode::Text) {
    result.payloadData = "\"" + EscapeJsonString(result.data) + "\"";
  }
  return result;
}

Assembly AssembleBase64(TransferPacket& packet, const std::string& name,
                        const TransferBatch& batch) {
  Assembly result;
  StepPayloadInserter* inserter = packet.services.stepInserter;
  bool inserted = false;
  try {
    inserted = inserter != nullptr && inserter->InsertStep(name, batch.chunks);
  } catch (...) {
    inserted = false;
  }
  if (!inserted) {
    packet.table.Remove(name);
    result.failure = "transferLargeEnd base64 STEP data could not be processed";
  }
  result.payloadData = "null";
  return result;
}

Assembly Assemble(TransferPacket& packet, const std::string& name, const TransferBatch& batch) {
  switch (batch.kind) {
    case TransferMode::Jsons:
      return AssembleJsons(batch.chunks);
    case TransferMode::Texts:
      return AssembleTexts(batch.chunks);
    case TransferMode::Json:
    case TransferMode::Text:
      return AssembleConcatenation(batch);
    case TransferMode::Base64:
      return AssembleBase64(packet, name, batch);
  }
  Assembly result;
  result.failure = "transferLargeEnd mode must be json, jsons, texts, text or base64";
  return result;
}

// The received-payload object, built in one allocation: its data may be the whole transfer.
std::string LargePayload(const std::string& name, const std::string& mode,
                         const std::string& data) {
  const std::string head = "{\"type\":\"large\",\"name\":\"" + EscapeJsonString(name) +
                           "\",\"mode\":\"" + EscapeJsonString(mode) + "\",\"data\":";
  std::string payload;
  payload.reserve(head.size() + data.size() + 1);
  payload += head;
  payload += data;
  payload.push_back('}');
  return payload;
}

std::vector<size_t> MissingIndices(const TransferBatch& batch) {
  std::vector<size_t> missing;
  for (size_t i = 0; i < batch.received.size(); ++i) {
    if (!batch.received[i]) missing.push_back(i);
  }
  return missing;
}

}  // namespace

TransferOutcome HandleTransferLargeEnd(TransferPacket& packet) {
  std::optional<std::string> name = FindJsonStringField(packet.body, "name");
  if (!name) return FailedOutcome(packet.command, "transferLargeEnd requires name");
  TransferBatch* batch = packet.table.Find(*name);
  if (batch == nullptr)
    return FailedOutcome(packet.command, "transferLargeEnd batch was not started");
  if (packet.kind != batch->kind)
    return FailedOutcome(packet.command, "transferLargeEnd mode mismatch");
  LogProtocolInfo("protocol_receive cmd=transferLargeEnd mode=" + packet.mode + " name=" + *name +
                  " chunk_count=" + std::to_string(batch->chunks.size()));
  std::vector<size_t> missing = MissingIndices(*batch);
  if (!missing.empty()) return RetryOutcome(packet.command, *name, missing);

  const std::string mode = batch->mode;
  const TransferMode kind = batch->kind;
  Assembly assembly = Assemble(packet, *name, *batch);
  if (assembly.retryIndex) return RetryOutcome(packet.command, *name, {*assembly.retryIndex});
  if (!assembly.failure.empty()) return FailedOutcome(packet.command, assembly.failure);

  TransferOutcome outcome;
  outcome.kind = TransferOutcomeKind::Completed;
  outcome.command = packet.command;
  outcome.transferType = "large";
  outcome.mode = mode;
  outcome.payload = LargePayload(
      *name, mode, assembly.payloadData.empty() ? assembly.data : assembly.payloadData);
  assembly.payloadData.clear();
  outcome.dataIsJson = assembly.dataIsJson;
  if (kind == TransferMode::Json) {
    DispatchJsonPayload(packet.services, packet.command, assembly.data);
  }
  packet.table.Remove(*name);
  outcome.reply = EchoReply(*name);
  LogProtocolInfo("protocol_complete cmd=transferLargeEnd mode=" + mode + " name=" + *name);
  outcome.data = std::move(assembly.data);
  outcome.name = std::move(*name);
  return outcome;
}

}  // namespace vantrel
