#pragma once

#include <string>
#include <vector>

#include "vantrel/transfer_outcome.h"

namespace vantrel {

inline constexpr char kProtocolComponent[] = "webview.protocol";

// A value for a key=value log pair; oversized untrusted texts are cut so that one packet cannot
// write megabytes into the log.
std::string LogValue(const std::string& value);
void LogProtocolInfo(const std::string& message);

TransferOutcome FailedOutcome(const std::string& command, const std::string& detail);
TransferOutcome RetryOutcome(const std::string& command, const std::string& name,
                             const std::vector<size_t>& indices);
std::string ReceivedReply(const std::string& payload);
std::string EchoReply(const std::string& name);

}  // namespace vantrel
