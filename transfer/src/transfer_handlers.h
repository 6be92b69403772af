#pragma once

#include <string>

#include <optional>

#include "vantrel/transfer_mode.h"
#include "vantrel/transfer_outcome.h"
#include "vantrel/transfer_services.h"
#include "vantrel/transfer_table.h"

namespace vantrel {

// One packet, read: its command, its body (the `data` string) and its mode, as text for
// messages and parsed (nothing when the text names no mode).
struct TransferPacket {
  TransferTable& table;
  const TransferServices& services;
  std::string command;
  std::string body;
  std::string mode;
  std::optional<TransferMode> kind;
  // The packet's "report": true: the draw it completes answers with its per-item report.
  bool wantsReport = false;
};

TransferOutcome HandleTransferSingle(TransferPacket& packet);
TransferOutcome HandleTransferLargeStart(TransferPacket& packet);
TransferOutcome HandleTransferLargeData(TransferPacket& packet);
TransferOutcome HandleTransferLargeEnd(TransferPacket& packet);

// Hands a complete "json" payload to the processor; a processor fault is logged, never raised.
// Answers the report message when the packet asked for one, else nothing.
std::string DispatchJsonPayload(const TransferPacket& packet, const std::string& json);

}  // namespace vantrel
