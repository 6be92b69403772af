// The packet replay of `vantrel replay`: packets run through a transfer table, outcomes described.
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "vantrel/transfer_outcome.h"

namespace vantrel {

// One JSON line describing an outcome: kind, command, name, mode, reply (as a string), detail,
// and the demo schema answer when there is one.
std::string DescribeOutcome(const TransferOutcome& outcome, const std::string& schemaAnswer);

// Runs every non-blank line of `in` as one packet through one transfer table, in order, and
// writes one description per packet to `out`. Complete "json" payloads are not drawn and base64
// transfers are accepted when every chunk is base64 text. Returns the number of Failed outcomes.
size_t ReplayPackets(std::istream& in, std::ostream& out);

// Whether `text` is base64 (standard alphabet, padding only at the end, length a multiple of 4).
bool IsBase64Text(const std::string& text);

}  // namespace vantrel
