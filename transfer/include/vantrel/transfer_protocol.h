// The transfer protocol: one front-end packet handled against the open transfers.
#pragma once

#include <string_view>

#include "vantrel/transfer_outcome.h"
#include "vantrel/transfer_services.h"
#include "vantrel/transfer_table.h"

namespace vantrel {

// Handles one packet text from the front end against the window's open transfers. Every
// refusal is a Failed outcome; nothing is thrown.
TransferOutcome HandleTransferPacket(TransferTable& table, std::string_view packet,
                                     const TransferServices& services = {});

}  // namespace vantrel
