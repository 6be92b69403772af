// Runs a sequence of packets (one per input line) through one transfer table and checks the
// table's bookkeeping after each one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/debug_output.h"
#include "vantrel/demo_schema_handler.h"
#include "vantrel/transfer_protocol.h"

namespace {

class NullProcessor : public vantrel::JsonPayloadProcessor {
 public:
  void DrawJson(const std::string& json) override { drawnBytes += json.size(); }
  size_t drawnBytes = 0;
};

class AlternatingInserter : public vantrel::StepPayloadInserter {
 public:
  bool InsertStep(const std::string&, const std::vector<std::string>& chunks) override {
    return chunks.size() % 2 == 0;
  }
};

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void CheckOutcome(const vantrel::TransferOutcome& o) {
  using Kind = vantrel::TransferOutcomeKind;
  Check(o.kind != Kind::Failed || (!o.reply.empty() && !o.detail.empty()));
  Check(o.kind != Kind::Accepted || o.reply.empty());
  Check(o.kind != Kind::Completed || !o.Payload().empty());
  Check(o.kind != Kind::RetryRequested || o.reply.find("transferLargeRetry") != std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::SetDebugOutputEnabled(false);
  vantrel::TransferLimits limits;
  limits.maxOpenTransfers = 8;
  limits.maxChunkBytes = 4096;
  limits.maxHeldBytes = 65536;
  vantrel::TransferTable table(limits);
  NullProcessor processor;
  AlternatingInserter inserter;
  vantrel::UnwiredActivePartAdapter adapter;
  vantrel::TransferServices services{&processor, &inserter};
  std::string_view input(reinterpret_cast<const char*>(data), size);
  while (!input.empty()) {
    size_t end = input.find('\n');
    std::string_view packet = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    vantrel::TransferOutcome outcome = vantrel::HandleTransferPacket(table, packet, services);
    CheckOutcome(outcome);
    vantrel::DemoSchemaHook(&adapter, outcome);
    Check(table.OpenCount() <= limits.maxOpenTransfers);
    Check(table.HeldBytes() <= limits.maxHeldBytes);
  }
  return 0;
}
