#include "transfer_replies.h"

#include "vantrel/diagnostic_log.h"
#include "vantrel/reply_text.h"

namespace vantrel {
namespace {

constexpr size_t kMaxLoggedValueBytes = 256;

std::string CommandMessage(const char* cmd, const std::string& innerJson) {
  return std::string("{\"cmd\":\"") + cmd + "\",\"data\":\"" + EscapeJsonReplyString(innerJson) +
         "\"}";
}

}  // namespace

std::string LogValue(const std::string& value) {
  if (value.size() <= kMaxLoggedValueBytes) return value;
  return value.substr(0, kMaxLoggedValueBytes) + "...";
}

void LogProtocolInfo(const std::string& message) {
  WriteLog(kLogInfo, kProtocolComponent, message);
}

std::string TransferOutcome::Payload() const {
  if (kind != TransferOutcomeKind::Completed) return std::string();
  std::string payload;
  const size_t dataBytes = payloadData == PayloadData::Null ? 4 : data.size() + 2;
  payload.reserve(payloadHead.size() + dataBytes + 1);
  payload += payloadHead;
  switch (payloadData) {
    case PayloadData::Raw:
      payload += data;
      break;
    case PayloadData::JsonOrString:
      payload += JsonValueOrString(data);
      break;
    case PayloadData::Escaped:
      payload += "\"" + EscapeJsonReplyString(data) + "\"";
      break;
    case PayloadData::Null:
      payload += "null";
      break;
  }
  payload.push_back('}');
  return payload;
}

const char* TransferOutcomeKindName(TransferOutcomeKind kind) {
  switch (kind) {
    case TransferOutcomeKind::Accepted:
      return "Accepted";
    case TransferOutcomeKind::Completed:
      return "Completed";
    case TransferOutcomeKind::RetryRequested:
      return "RetryRequested";
    case TransferOutcomeKind::Failed:
      return "Failed";
  }
  return "Failed";
}

TransferOutcome FailedOutcome(const std::string& command, const std::string& detail) {
  TransferOutcome outcome;
  outcome.kind = TransferOutcomeKind::Failed;
  outcome.command = command;
  outcome.detail = detail;
  outcome.reply = "{\"type\":\"transfer:error\",\"ok\":false,\"message\":\"" +
                  EscapeJsonReplyString(detail) + "\"}";
  WriteLog(kLogError, kProtocolComponent,
           "protocol_error cmd=" + LogValue(command) + " detail=" + detail);
  return outcome;
}

TransferOutcome RetryOutcome(const std::string& command, const std::string& name,
                             const std::vector<size_t>& indices) {
  TransferOutcome outcome;
  outcome.kind = TransferOutcomeKind::RetryRequested;
  outcome.command = command;
  outcome.name = name;
  std::string list;
  for (size_t index : indices) {
    if (!list.empty()) list.push_back(',');
    list += std::to_string(index);
  }
  outcome.reply =
      CommandMessage("transferLargeRetry",
                     "{\"name\":\"" + EscapeJsonReplyString(name) + "\",\"data\":[" + list + "]}");
  std::string message = "protocol_retry cmd=" + command + " name=" + LogValue(name) +
                        " index_count=" + std::to_string(indices.size());
  if (!indices.empty()) message += " first_index=" + std::to_string(indices.front());
  WriteLog(kLogWarn, kProtocolComponent, message);
  return outcome;
}

std::string ReceivedReply(const std::string& payload) {
  return "{\"type\":\"transfer:received\",\"ok\":true,\"data\":" + payload + "}";
}

std::string EchoReply(const std::string& name) {
  return CommandMessage("transferLargeEcho", "{\"name\":\"" + EscapeJsonReplyString(name) + "\"}");
}

}  // namespace vantrel
