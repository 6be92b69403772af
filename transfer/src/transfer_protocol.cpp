#include "vantrel/transfer_protocol.h"

#include "transfer_handlers.h"
#include "transfer_replies.h"
#include "vantrel/diagnostic_log.h"
#include "vantrel/json_field_readers.h"
#include "vantrel/plugin_response.h"

namespace vantrel {
namespace {

TransferOutcome Dispatch(TransferTable& table, std::string_view text,
                         const TransferServices& services) {
  JsonFieldScanner fields(text);
  std::optional<std::string> command = fields.StringField("cmd");
  if (!command) return FailedOutcome("", "transfer packet missing cmd");
  std::optional<std::string> body = fields.StringField("data");
  if (!body) return FailedOutcome(*command, "transfer packet missing data");
  std::optional<std::string> mode = fields.StringField("mode");
  TransferPacket packet{table,
                        services,
                        std::move(*command),
                        std::move(*body),
                        mode ? std::move(*mode) : std::string("text"),
                        std::nullopt};
  packet.kind = ParseTransferMode(packet.mode);
  packet.wantsReport = fields.TrueField("report");
  if (packet.command == "transferSingle") return HandleTransferSingle(packet);
  if (packet.command == "transferLargeStart") return HandleTransferLargeStart(packet);
  if (packet.command == "transferLargeData") return HandleTransferLargeData(packet);
  if (packet.command == "transferLargeEnd") return HandleTransferLargeEnd(packet);
  return FailedOutcome(packet.command, "unknown transfer command");
}

}  // namespace

std::string JsonPayloadProcessor::DrawJsonWithReport(const std::string& json) {
  DrawJson(json);
  return SerializePluginResponse(MakeErrorPluginResponse(kDrawReportId, "report.unavailable",
                                                         "this panel's draw makes no report"));
}

std::string DispatchJsonPayload(const TransferPacket& packet, const std::string& json) {
  JsonPayloadProcessor* processor = packet.services.processor;
  if (processor == nullptr) {
    if (!packet.wantsReport) return std::string();
    return SerializePluginResponse(
        MakeErrorPluginResponse(kDrawReportId, "report.notDrawn", "the payload was not drawn"));
  }
  try {
    if (packet.wantsReport) return processor->DrawJsonWithReport(json);
    processor->DrawJson(json);
  } catch (...) {
    WriteLog(kLogError, kProtocolComponent, "protocol_dispatch_failed cmd=" + packet.command);
  }
  return std::string();
}

TransferOutcome HandleTransferPacket(TransferTable& table, std::string_view packet,
                                     const TransferServices& services) {
  try {
    return Dispatch(table, packet, services);
  } catch (...) {
    // Only an allocation failure gets here; the table is left as it was or with the packet's
    // own change.
    try {
      return FailedOutcome("", "transfer packet could not be handled");
    } catch (...) {
      TransferOutcome outcome;
      outcome.kind = TransferOutcomeKind::Failed;
      return outcome;
    }
  }
}

TransferOutcome HandleTransferSingle(TransferPacket& packet) {
  const bool json = packet.kind == TransferMode::Json;
  if (!json && packet.kind != TransferMode::Text) {
    return FailedOutcome(packet.command, "transferSingle mode must be json or text");
  }
  LogProtocolInfo("protocol_receive cmd=transferSingle mode=" + packet.mode +
                  " data_chars=" + std::to_string(packet.body.size()));
  if (json && !LooksLikeJson(packet.body)) {
    return FailedOutcome(packet.command, "transferSingle data is not json");
  }
  TransferOutcome outcome;
  outcome.kind = TransferOutcomeKind::Completed;
  outcome.command = packet.command;
  outcome.transferType = "single";
  outcome.mode = packet.mode;
  outcome.payloadHead = json ? "{\"type\":\"single\",\"mode\":\"json\",\"data\":"
                             : "{\"type\":\"single\",\"mode\":\"text\",\"data\":";
  // The payload goes back in the reply, which must be JSON whatever the body held.
  outcome.payloadData = json ? PayloadData::JsonOrString : PayloadData::Escaped;
  outcome.dataIsJson = json;
  outcome.data = std::move(packet.body);
  outcome.reply = ReceivedReply(outcome.Payload());
  if (json) outcome.report = DispatchJsonPayload(packet, outcome.data);
  return outcome;
}

TransferOutcome HandleTransferLargeStart(TransferPacket& packet) {
  std::optional<std::string> name = FindJsonStringField(packet.body, "name");
  std::optional<int32_t> size = FindJsonIntField(packet.body, "size");
  if (!name || !size)
    return FailedOutcome(packet.command, "transferLargeStart requires name and size");
  if (name->empty() || *size < 1) {
    return FailedOutcome(packet.command, "transferLargeStart has invalid name or size");
  }
  const TransferLimits& limits = packet.table.Limits();
  if (static_cast<size_t>(*size) > limits.maxChunkCount) {
    return FailedOutcome(packet.command, "transferLargeStart size exceeds limit");
  }
  const std::string& mode = packet.mode;
  if (!packet.kind) {
    return FailedOutcome(packet.command,
                         "transferLargeStart mode must be json, jsons, texts, text or base64");
  }
  if (name->size() > limits.maxNameBytes) {
    return FailedOutcome(packet.command, "transferLargeStart name exceeds limit");
  }
  if (!packet.table.HasRoomFor(*name)) {
    return FailedOutcome(packet.command, "transferLargeStart too many open transfers");
  }
  packet.table.Start(*name, static_cast<size_t>(*size), *packet.kind, mode);
  LogProtocolInfo("protocol_receive cmd=transferLargeStart mode=" + mode + " name=" + *name +
                  " chunk_count=" + std::to_string(*size));
  TransferOutcome outcome;
  outcome.kind = TransferOutcomeKind::Accepted;
  outcome.command = packet.command;
  outcome.name = std::move(*name);
  return outcome;
}

}  // namespace vantrel
