#include "transfer_handlers.h"
#include "transfer_replies.h"
#include "vantrel/json_field_readers.h"
#include "vantrel/reply_text.h"

namespace vantrel {
namespace {

// The assembled form of a complete transfer, or why it cannot be assembled yet.
struct Assembly {
  std::string data;
  PayloadData payloadData = PayloadData::Raw;
  bool dataIsJson = false;
  std::optional<size_t> retryIndex;
  std::string failure;
};

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

// The chunks in index order: the joined ones and those kept apart after them.
std::string Concatenate(const TransferBatch& batch) {
  size_t total = batch.joined.size();
  for (size_t i = batch.joinedEnds.size(); i < batch.chunks.size(); ++i) {
    total += batch.chunks[i].size();
  }
  std::string out;
  out.reserve(total);
  out += batch.joined;
  for (size_t i = batch.joinedEnds.size(); i < batch.chunks.size(); ++i) out += batch.chunks[i];
  return out;
}

// "json" and "text": the chunks concatenated; a "json" text that does not look like JSON
// fails and leaves the transfer open. Chunks that all arrived in order are already joined,
// and the joined text becomes the data without a copy.
Assembly AssembleConcatenation(TransferBatch& batch) {
  Assembly result;
  const bool joined = batch.joinedEnds.size() == batch.chunks.size();
  std::string apart = joined ? std::string() : Concatenate(batch);
  const std::string& text = joined ? batch.joined : apart;
  result.dataIsJson = LooksLikeJson(text);
  if (batch.kind == TransferMode::Json && !result.dataIsJson) {
    result.failure = "transferLargeEnd json data is not json";
    return result;
  }
  result.data = joined ? std::move(batch.joined) : std::move(apart);
  if (batch.kind == TransferMode::Text) result.payloadData = PayloadData::Escaped;
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
  result.payloadData = PayloadData::Null;
  return result;
}

Assembly Assemble(TransferPacket& packet, const std::string& name, TransferBatch& batch) {
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

  // Everything that allocates comes before the assembly: once the joined text has moved into
  // it, the transfer must be removed.
  TransferOutcome outcome;
  outcome.command = packet.command;
  outcome.transferType = "large";
  outcome.mode = batch->mode;
  outcome.payloadHead = "{\"type\":\"large\",\"name\":\"" + EscapeJsonReplyString(*name) +
                        "\",\"mode\":\"" + EscapeJsonReplyString(batch->mode) + "\",\"data\":";
  const TransferMode kind = batch->kind;
  Assembly assembly = Assemble(packet, *name, *batch);
  if (assembly.retryIndex) return RetryOutcome(packet.command, *name, {*assembly.retryIndex});
  if (!assembly.failure.empty()) return FailedOutcome(packet.command, assembly.failure);

  outcome.kind = TransferOutcomeKind::Completed;
  outcome.payloadData = assembly.payloadData;
  outcome.dataIsJson = assembly.dataIsJson;
  if (kind == TransferMode::Json) {
    outcome.report = DispatchJsonPayload(packet, assembly.data);
  }
  packet.table.Remove(*name);
  outcome.reply = EchoReply(*name);
  LogProtocolInfo("protocol_complete cmd=transferLargeEnd mode=" + outcome.mode + " name=" + *name);
  outcome.data = std::move(assembly.data);
  outcome.name = std::move(*name);
  return outcome;
}

}  // namespace vantrel
