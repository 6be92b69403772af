#pragma once

#include <string_view>

#include "vantrel/transfer_data_processor.h"
#include "vantrel/transfer_outcome.h"
#include "vantrel/transfer_table.h"

namespace vantrel {

// One panel window's open transfers, with complete "json" payloads drawn by the processor.
// Base64 transfers fail until STEP insertion exists.
class TransferChannel {
 public:
  TransferOutcome Handle(std::string_view packet);

 private:
  TransferTable table_;
  TransferDataProcessor processor_;
  TransferServices services_{&processor_, nullptr};
};

}  // namespace vantrel
