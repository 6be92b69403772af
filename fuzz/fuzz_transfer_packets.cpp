// Runs a sequence of packets (one per input line) through one transfer table and checks the
// table's bookkeeping after each one against a plain model of the open transfers: the held
// bytes are the accepted chunks' sizes, and a completed "json" or "text" transfer's data is
// its last accepted chunks in index order, whatever order they came in.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/debug_output.h"
#include "vantrel/demo_schema_handler.h"
#include "vantrel/json_field_readers.h"
#include "vantrel/reply_text.h"
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
  // Whatever the packet held, what the page is sent is JSON.
  Check(o.reply.empty() || vantrel::IsWellFormedJson(o.reply));
}

// The open transfers as the accepted packets describe them.
class Model {
 public:
  void See(const std::string_view packet, const vantrel::TransferOutcome& o,
           vantrel::TransferTable& table) {
    using Kind = vantrel::TransferOutcomeKind;
    const std::optional<std::string> body = vantrel::FindJsonStringField(packet, "data");
    const std::optional<std::string> name =
        body ? vantrel::FindJsonStringField(*body, "name") : std::nullopt;
    if (o.command == "transferLargeStart" && o.kind == Kind::Accepted) {
      const std::optional<int32_t> size = vantrel::FindJsonIntField(*body, "size");
      transfers_[*name] = std::vector<std::string>(static_cast<size_t>(*size));
    } else if (o.command == "transferLargeData" && o.kind == Kind::Accepted) {
      const std::optional<int32_t> index = vantrel::FindJsonIntField(*body, "index");
      transfers_[*name][static_cast<size_t>(*index)] = *vantrel::FindJsonStringField(*body, "data");
    } else if (o.command == "transferLargeEnd" && name && transfers_.count(*name) != 0) {
      const bool joins = o.mode == "json" || o.mode == "text";
      if (o.kind == Kind::Completed && joins) {
        std::string joined;
        for (const std::string& chunk : transfers_[*name]) joined += chunk;
        Check(o.data == joined);
      }
      if (table.Find(*name) == nullptr) transfers_.erase(*name);
    }
    size_t held = 0;
    for (const auto& transfer : transfers_) {
      for (const std::string& chunk : transfer.second) held += chunk.size();
    }
    Check(held == table.HeldBytes());
  }

 private:
  std::map<std::string, std::vector<std::string>> transfers_;
};

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
  Model model;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  while (!input.empty()) {
    size_t end = input.find('\n');
    std::string_view packet = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    vantrel::TransferOutcome outcome = vantrel::HandleTransferPacket(table, packet, services);
    CheckOutcome(outcome);
    model.See(packet, outcome, table);
    const std::string schemaReply = vantrel::DemoSchemaHook(&adapter, outcome);
    Check(schemaReply.empty() || vantrel::IsWellFormedJson(schemaReply));
    Check(table.OpenCount() <= limits.maxOpenTransfers);
    Check(table.HeldBytes() <= limits.maxHeldBytes);
  }
  return 0;
}
