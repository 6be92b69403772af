#include "transfer_channel.h"

#include "vantrel/transfer_protocol.h"

namespace vantrel {

TransferOutcome TransferChannel::Handle(std::string_view packet) {
  return HandleTransferPacket(table_, packet, services_);
}

}  // namespace vantrel
