#include "vantrel/packet_replay.h"

#include "vantrel/demo_schema_handler.h"
#include "vantrel/json_field_readers.h"
#include "vantrel/reply_text.h"
#include "vantrel/transfer_protocol.h"

namespace vantrel {
namespace {

// A line longer than this is reported and skipped rather than held.
constexpr size_t kMaxLineBytes = size_t{256} << 20;

class Base64CheckingInserter : public StepPayloadInserter {
 public:
  bool InsertStep(const std::string&, const std::vector<std::string>& chunks) override {
    for (const std::string& chunk : chunks) {
      if (!IsBase64Text(chunk)) return false;
    }
    return true;
  }
};

class DiscardingProcessor : public JsonPayloadProcessor {
 public:
  void DrawJson(const std::string&) override {}
};

bool IsBase64Letter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '/';
}

// Reads one line into `line`; false at the end. `tooLong` reports a line cut at the bound.
bool ReadLine(std::istream& in, std::string& line, bool& tooLong) {
  line.clear();
  tooLong = false;
  bool any = false;
  for (int c = in.get(); c != std::char_traits<char>::eof(); c = in.get()) {
    any = true;
    if (c == '\n') return true;
    if (line.size() < kMaxLineBytes) {
      line.push_back(static_cast<char>(c));
    } else {
      tooLong = true;
    }
  }
  return any;
}

bool IsBlank(const std::string& line) {
  return SkipJsonWhitespace(line, 0) == line.size();
}

}  // namespace

bool IsBase64Text(const std::string& text) {
  if (text.size() % 4 != 0) return false;
  size_t padding = 0;
  while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=') ++padding;
  for (size_t i = 0; i + padding < text.size(); ++i) {
    if (!IsBase64Letter(text[i])) return false;
  }
  return true;
}

std::string DescribeOutcome(const TransferOutcome& o, const std::string& schemaAnswer) {
  std::string line =
      std::string("{\"kind\":\"") + TransferOutcomeKindName(o.kind) + "\",\"command\":\"" +
      EscapeJsonReplyString(o.command) + "\",\"name\":\"" + EscapeJsonReplyString(o.name) +
      "\",\"mode\":\"" + EscapeJsonReplyString(o.mode) + "\",\"reply\":\"" +
      EscapeJsonReplyString(o.reply) + "\",\"detail\":\"" + EscapeJsonReplyString(o.detail) + "\"";
  if (!schemaAnswer.empty())
    line += ",\"schemaResponse\":\"" + EscapeJsonReplyString(schemaAnswer) + "\"";
  return line + "}";
}

size_t ReplayPackets(std::istream& in, std::ostream& out) {
  TransferTable table;
  DiscardingProcessor processor;
  Base64CheckingInserter inserter;
  UnwiredActivePartAdapter adapter;
  TransferServices services{&processor, &inserter};
  size_t failures = 0;
  std::string line;
  bool tooLong = false;
  while (ReadLine(in, line, tooLong)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (IsBlank(line) && !tooLong) continue;
    TransferOutcome outcome;
    if (tooLong) {
      outcome.detail = "packet line exceeds the replay limit";
    } else {
      outcome = HandleTransferPacket(table, line, services);
    }
    if (outcome.kind == TransferOutcomeKind::Failed) ++failures;
    out << DescribeOutcome(outcome, DemoSchemaHook(&adapter, outcome)) << '\n';
  }
  out.flush();
  return failures;
}

}  // namespace vantrel
