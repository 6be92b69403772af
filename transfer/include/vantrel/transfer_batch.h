#pragma once

#include <string>
#include <vector>

#include "vantrel/transfer_mode.h"

namespace vantrel {

// One open large transfer: slot i holds the last chunk accepted for index i.
struct TransferBatch {
  std::vector<std::string> chunks;
  std::vector<bool> received;  // a flag never returns to false
  std::string mode;            // as the start packet named it
  TransferMode kind = TransferMode::Text;
  size_t heldBytes = 0;  // sum of the chunk sizes
};

}  // namespace vantrel
