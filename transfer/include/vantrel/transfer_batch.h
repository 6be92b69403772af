// One open large transfer: its chunks and what is joined of them so far.
#pragma once

#include <string>
#include <vector>

#include "vantrel/transfer_mode.h"

namespace vantrel {

// One open large transfer: slot i holds the last chunk accepted for index i. The chunks of a
// "json" or "text" transfer that arrive in order are kept joined instead, so that the whole
// text is ready when the transfer ends: `joined` holds chunks 0 .. joinedEnds.size() - 1, and
// their slots stay empty.
struct TransferBatch {
  std::vector<std::string> chunks;
  std::vector<bool> received;  // a flag never returns to false
  std::string mode;            // as the start packet named it
  TransferMode kind = TransferMode::Text;
  size_t heldBytes = 0;  // sum of the chunk sizes
  std::string joined;
  std::vector<size_t> joinedEnds;  // where each joined chunk ends in `joined`
  bool joinable = false;
};

}  // namespace vantrel
