// What handling one packet came to: its kind, reply and payload.
#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

enum class TransferOutcomeKind : int32_t {
  Accepted = 0,        // taken, nothing to answer
  Completed = 1,       // a payload is complete
  RetryRequested = 2,  // chunks must be sent again
  Failed = 3,
};

const char* TransferOutcomeKindName(TransferOutcomeKind kind);

// How the received-payload object writes the data: as it is, as a JSON string, null, or as
// it is when it is well-formed JSON and as a string otherwise (text that only looks like JSON,
// such as a truncated part, would make the object invalid).
enum class PayloadData : int32_t { Raw = 0, Escaped = 1, Null = 2, JsonOrString = 3 };

// What one packet led to; all texts UTF-8.
struct TransferOutcome {
  TransferOutcomeKind kind = TransferOutcomeKind::Failed;
  std::string command;
  std::string name;
  std::string transferType;  // "single" or "large", for Completed
  std::string mode;
  std::string data;  // the assembled data
  bool dataIsJson = false;
  std::string reply;   // JSON for the front end; empty for Accepted
  std::string detail;  // failure message
  // The draw's report message, to post after the reply; empty unless the packet asked for it
  // ("report": true) and completed a "json" payload.
  std::string report;
  // The received-payload object of a Completed outcome is its head (the keys before `data`),
  // then the data written as `payloadData` says, then "}". A large transfer's object would be
  // a second copy of the whole data, so it is put together only when asked for.
  std::string payloadHead;
  PayloadData payloadData = PayloadData::Raw;
  std::string Payload() const;
};

}  // namespace vantrel
