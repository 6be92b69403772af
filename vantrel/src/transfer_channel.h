#pragma once

#include <string_view>

#include "vantrel/step_insertion.h"
#include "vantrel/transfer_data_processor.h"
#include "vantrel/transfer_outcome.h"
#include "vantrel/transfer_table.h"

namespace vantrel {

// One panel window's open transfers, with complete "json" payloads drawn by the processor and
// complete "base64" transfers inserted as STEP files into the running application.
class TransferChannel {
 public:
  TransferOutcome Handle(std::string_view packet);

 private:
  TransferTable table_;
  TransferDataProcessor processor_;
  StepInsertion stepInsertion_;
  TransferServices services_{&processor_, &stepInsertion_};
};

}  // namespace vantrel
