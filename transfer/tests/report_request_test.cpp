// The packet's "report" member: only the literal true on the packet that completes a "json"
// payload asks for the draw's report, and asking changes no reply.
#include <gtest/gtest.h>

#include "protocol_test_support.h"
#include "vantrel/chunk_hash.h"

namespace vantrel::testing {
namespace {

// Records which way each payload was drawn and answers a report of its own.
class ReportingProcessor : public JsonPayloadProcessor {
 public:
  void DrawJson(const std::string& json) override { plain.push_back(json); }
  std::string DrawJsonWithReport(const std::string& json) override {
    reported.push_back(json);
    return "{\"id\":\"draw-report\"}";
  }
  std::vector<std::string> plain, reported;
};

std::string WithMember(std::string packet, const std::string& member) {
  packet.insert(packet.size() - 1, "," + member);
  return packet;
}

class ReportRequestTest : public ProtocolTest {
 protected:
  ReportingProcessor processor_;
  TransferServices services_{&processor_, nullptr};
};

TEST_F(ReportRequestTest, TrueAsksAndTheReplyStaysTheSame) {
  const std::string packet = Packet("transferSingle", "{\"a\":1}", "json");
  const TransferOutcome plain = HandleTransferPacket(table_, packet, services_);
  const TransferOutcome asked =
      HandleTransferPacket(table_, WithMember(packet, "\"report\" : true"), services_);
  EXPECT_EQ(asked.reply, plain.reply);
  EXPECT_TRUE(plain.report.empty());
  EXPECT_EQ(asked.report, "{\"id\":\"draw-report\"}");
  EXPECT_EQ(processor_.plain, std::vector<std::string>{"{\"a\":1}"});
  EXPECT_EQ(processor_.reported, std::vector<std::string>{"{\"a\":1}"});
}

TEST_F(ReportRequestTest, AnythingButTheLiteralTrueDoesNotAsk) {
  const std::string packet = Packet("transferSingle", "{\"report\":true}", "json");
  for (const char* member : {"\"report\":false", "\"report\":\"true\"", "\"report\":1",
                             "\"report\":trueish", "\"reports\":true"}) {
    const TransferOutcome outcome =
        HandleTransferPacket(table_, WithMember(packet, member), services_);
    EXPECT_TRUE(outcome.report.empty()) << member;
  }
  // Nor does the member inside the payload, which is a string of the packet.
  EXPECT_TRUE(HandleTransferPacket(table_, packet, services_).report.empty());
  EXPECT_TRUE(processor_.reported.empty());
  EXPECT_EQ(processor_.plain.size(), 6u);
}

TEST_F(ReportRequestTest, OnlyACompletedJsonPayloadIsAnswered) {
  // A text transfer, a refused packet and a large transfer's start and chunks draw nothing.
  const std::string ask = "\"report\":true";
  EXPECT_TRUE(HandleTransferPacket(table_, WithMember(Packet("transferSingle", "hi", "text"), ask),
                                   services_)
                  .report.empty());
  const TransferOutcome refused = HandleTransferPacket(
      table_, WithMember(Packet("transferSingle", "hello", "json"), ask), services_);
  EXPECT_EQ(refused.kind, TransferOutcomeKind::Failed);
  EXPECT_TRUE(refused.report.empty());
  const std::string chunk = "{\"b\":2}";
  EXPECT_TRUE(HandleTransferPacket(
                  table_, WithMember(Packet("transferLargeStart", StartBody("t", 1), "json"), ask),
                  services_)
                  .report.empty());
  EXPECT_TRUE(
      HandleTransferPacket(
          table_,
          WithMember(Packet("transferLargeData", DataBody("t", 0, chunk, ChunkHash(chunk)), "json"),
                     ask),
          services_)
          .report.empty());
  EXPECT_TRUE(processor_.reported.empty());
  // The end that completes the payload asks, and its echo is the usual one.
  const TransferOutcome end = HandleTransferPacket(
      table_, WithMember(Packet("transferLargeEnd", EndBody("t"), "json"), ask), services_);
  EXPECT_EQ(end.kind, TransferOutcomeKind::Completed);
  EXPECT_EQ(end.reply, "{\"cmd\":\"transferLargeEcho\",\"data\":\"{\\\"name\\\":\\\"t\\\"}\"}");
  EXPECT_EQ(end.report, "{\"id\":\"draw-report\"}");
  EXPECT_EQ(processor_.reported, std::vector<std::string>{chunk});
}

TEST_F(ReportRequestTest, ADrawThatMakesNoReportSaysSo) {
  RecordingProcessor recording;  // keeps the default: draws, then answers the refusal
  TransferServices services{&recording, nullptr};
  const TransferOutcome asked = HandleTransferPacket(
      table_, WithMember(Packet("transferSingle", "[]", "json"), "\"report\":true"), services);
  EXPECT_EQ(recording.drawn, std::vector<std::string>{"[]"});
  EXPECT_EQ(asked.report,
            "{\"id\":\"draw-report\",\"type\":\"plugin:response\",\"ok\":false,\"error\":{"
            "\"code\":\"report.unavailable\",\"message\":\"this panel's draw makes no report\"}}");
  // Without a processor nothing is drawn, and the page that asked is told.
  const TransferOutcome undrawn = HandleTransferPacket(
      table_, WithMember(Packet("transferSingle", "[]", "json"), "\"report\":true"), {});
  EXPECT_EQ(undrawn.report,
            "{\"id\":\"draw-report\",\"type\":\"plugin:response\",\"ok\":false,\"error\":{"
            "\"code\":\"report.notDrawn\",\"message\":\"the payload was not drawn\"}}");
}

}  // namespace
}  // namespace vantrel::testing
