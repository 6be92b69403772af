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

// What one packet led to; all texts UTF-8.
struct TransferOutcome {
  TransferOutcomeKind kind = TransferOutcomeKind::Failed;
  std::string command;
  std::string name;
  std::string payload;       // the received-payload object, for Completed
  std::string transferType;  // "single" or "large", for Completed
  std::string mode;
  std::string data;  // the assembled data
  bool dataIsJson = false;
  std::string reply;   // JSON for the front end; empty for Accepted
  std::string detail;  // failure message
};

}  // namespace vantrel
