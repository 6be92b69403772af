#include "vantrel/vantrel_api.h"

#include <cstring>
#include <new>

#include "transfer_channel.h"
#include "vantrel/runtime_config.h"

struct VantrelChannel {
  vantrel::TransferChannel channel;
};

namespace {

void CopyReply(const std::string& text, char* reply, uint64_t capacity, uint64_t* size) {
  if (size != nullptr) *size = text.size();
  if (reply == nullptr || capacity == 0) return;
  const uint64_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
  std::memcpy(reply, text.data(), static_cast<size_t>(n));
  reply[n] = '\0';
}

}  // namespace

VantrelChannel* Vantrel_OpenChannel(void) {
  try {
    return new VantrelChannel();
  } catch (...) {
    return nullptr;
  }
}

void Vantrel_CloseChannel(VantrelChannel* channel) {
  delete channel;
}

int32_t Vantrel_HandlePacket(VantrelChannel* channel, const char* packet, uint64_t packetSize,
                             char* reply, uint64_t replyCapacity, uint64_t* replySize) {
  CopyReply(std::string(), reply, replyCapacity, replySize);
  if (channel == nullptr || packet == nullptr) return -1;
  try {
    vantrel::TransferOutcome outcome =
        channel->channel.Handle(std::string_view(packet, static_cast<size_t>(packetSize)));
    CopyReply(outcome.reply, reply, replyCapacity, replySize);
    return static_cast<int32_t>(outcome.kind);
  } catch (...) {
    return static_cast<int32_t>(vantrel::TransferOutcomeKind::Failed);
  }
}

void Vantrel_SetDrawDelayMs(uint32_t delayMs) {
  vantrel::TransferDataProcessor::SetDrawDelayMs(delayMs);
}

void Vantrel_SetFrontendLocation(const char* url) {
  try {
    vantrel::SetFrontendLaunchOverride(url != nullptr ? std::optional<std::string>(url)
                                                      : std::nullopt);
  } catch (...) {
    // Out of memory: the configured location stays.
  }
}
