#include <gmock/gmock.h>

#include "protocol_test_support.h"

using namespace vantrel;
using namespace vantrel::testing;
using ::testing::ElementsAre;

using Kind = TransferOutcomeKind;

class TransferLargeEnd : public ProtocolTest {
 protected:
  void Start(const std::string& name, int size, const std::string& mode) {
    ASSERT_EQ(Send(Packet("transferLargeStart", StartBody(name, size), mode)).kind, Kind::Accepted);
  }
  void Chunk(const std::string& name, int index, const std::string& text, const std::string& mode) {
    ASSERT_EQ(Send(Packet("transferLargeData", DataBody(name, index, text), mode)).kind,
              Kind::Accepted);
  }
  TransferOutcome End(const std::string& name, const std::string& mode) {
    return Send(Packet("transferLargeEnd", EndBody(name), mode));
  }
};

TEST_F(TransferLargeEnd, MissingChunksAreRequestedAndTheTransferStaysOpen) {
  Start("t", 3, "text");
  Chunk("t", 0, "a", "text");
  Chunk("t", 2, "c", "text");
  TakeLog();
  TransferOutcome retry = End("t", "text");
  EXPECT_EQ(retry.kind, Kind::RetryRequested);
  EXPECT_EQ(retry.command, "transferLargeEnd");
  EXPECT_EQ(
      retry.reply,
      "{\"cmd\":\"transferLargeRetry\",\"data\":\"{\\\"name\\\":\\\"t\\\",\\\"data\\\":[1]}\"}");
  EXPECT_THAT(TakeLog(),
              ElementsAre("INFO webview.protocol protocol_receive cmd=transferLargeEnd mode=text "
                          "name=t chunk_count=3",
                          "WARN webview.protocol protocol_retry cmd=transferLargeEnd name=t "
                          "index_count=1 first_index=1"));
  Chunk("t", 1, "b", "text");
  TransferOutcome done = End("t", "text");
  EXPECT_EQ(done.kind, Kind::Completed);
  EXPECT_EQ(done.data, "abc");
  EXPECT_EQ(table_.OpenCount(), 0u);
}

TEST_F(TransferLargeEnd, AllMissingIndicesInAscendingOrder) {
  Start("t", 5, "texts");
  Chunk("t", 3, "d", "texts");
  TransferOutcome retry = End("t", "texts");
  EXPECT_EQ(retry.reply,
            "{\"cmd\":\"transferLargeRetry\",\"data\":\"{\\\"name\\\":\\\"t\\\","
            "\\\"data\\\":[0,1,2,4]}\"}");
  EXPECT_THAT(TakeLog().back(),
              "WARN webview.protocol protocol_retry cmd=transferLargeEnd name=t "
              "index_count=4 first_index=0");
}

TEST_F(TransferLargeEnd, JsonIsConcatenatedDrawnEchoedAndClosed) {
  Start("part", 2, "json");
  Chunk("part", 1, "\"b\":2}", "json");
  Chunk("part", 0, "{\"a\":1,", "json");
  TakeLog();
  TransferOutcome o = End("part", "json");
  EXPECT_EQ(o.kind, Kind::Completed);
  EXPECT_EQ(o.transferType, "large");
  EXPECT_EQ(o.name, "part");
  EXPECT_EQ(o.mode, "json");
  EXPECT_EQ(o.data, "{\"a\":1,\"b\":2}");
  EXPECT_TRUE(o.dataIsJson);
  EXPECT_EQ(o.Payload(),
            "{\"type\":\"large\",\"name\":\"part\",\"mode\":\"json\",\"data\":{\"a\":1,\"b\":2}}");
  EXPECT_EQ(o.reply, "{\"cmd\":\"transferLargeEcho\",\"data\":\"{\\\"name\\\":\\\"part\\\"}\"}");
  EXPECT_THAT(processor_.drawn, ElementsAre("{\"a\":1,\"b\":2}"));
  EXPECT_EQ(table_.Find("part"), nullptr);
  EXPECT_EQ(table_.HeldBytes(), 0u);
  EXPECT_THAT(TakeLog(),
              ElementsAre("INFO webview.protocol protocol_receive cmd=transferLargeEnd mode=json "
                          "name=part chunk_count=2",
                          "INFO webview.protocol protocol_complete cmd=transferLargeEnd mode=json "
                          "name=part"));
}

TEST_F(TransferLargeEnd, JsonThatIsNotJsonFailsAndStaysOpen) {
  Start("p", 1, "json");
  Chunk("p", 0, "hello", "json");
  TransferOutcome o = End("p", "json");
  EXPECT_EQ(o.kind, Kind::Failed);
  EXPECT_EQ(o.detail, "transferLargeEnd json data is not json");
  EXPECT_NE(table_.Find("p"), nullptr);
  EXPECT_TRUE(processor_.drawn.empty());
}

TEST_F(TransferLargeEnd, JsonsRetriesTheFirstChunkThatIsNotJson) {
  Start("j", 4, "jsons");
  Chunk("j", 0, "{\"a\":1}", "jsons");
  Chunk("j", 1, " [2]", "jsons");
  Chunk("j", 2, "hello", "jsons");
  Chunk("j", 3, "oops", "jsons");
  TransferOutcome retry = End("j", "jsons");
  EXPECT_EQ(retry.kind, Kind::RetryRequested);
  EXPECT_EQ(retry.reply,
            "{\"cmd\":\"transferLargeRetry\",\"data\":\"{\\\"name\\\":\\\"j\\\","
            "\\\"data\\\":[2]}\"}");
  Chunk("j", 2, "3", "jsons");
  Chunk("j", 3, "null", "jsons");
  TransferOutcome o = End("j", "jsons");
  EXPECT_EQ(o.kind, Kind::Completed);
  EXPECT_EQ(o.data, "[{\"a\":1}, [2],3,null]");
  EXPECT_TRUE(o.dataIsJson);
  EXPECT_EQ(o.Payload(),
            "{\"type\":\"large\",\"name\":\"j\",\"mode\":\"jsons\",\"data\":"
            "[{\"a\":1}, [2],3,null]}");
  EXPECT_TRUE(processor_.drawn.empty());
}

TEST_F(TransferLargeEnd, TextsBecomeAnArrayOfEscapedStrings) {
  Start("s", 2, "texts");
  Chunk("s", 0, "say \"x\"", "texts");
  Chunk("s", 1, "a\\b", "texts");
  TransferOutcome o = End("s", "texts");
  EXPECT_EQ(o.data, "[\"say \\\"x\\\"\",\"a\\\\b\"]");
  EXPECT_TRUE(o.dataIsJson);
}

TEST_F(TransferLargeEnd, TextIsConcatenatedAndMayLookLikeJson) {
  Start("t", 2, "text");
  Chunk("t", 0, "{\"schemaVersion\"", "text");
  Chunk("t", 1, ":\"1\"}", "text");
  TransferOutcome o = End("t", "text");
  EXPECT_EQ(o.data, "{\"schemaVersion\":\"1\"}");
  EXPECT_TRUE(o.dataIsJson);
  EXPECT_EQ(o.Payload(),
            "{\"type\":\"large\",\"name\":\"t\",\"mode\":\"text\",\"data\":"
            "\"{\\\"schemaVersion\\\":\\\"1\\\"}\"}");
  Start("u", 1, "text");
  Chunk("u", 0, "plain", "text");
  EXPECT_FALSE(End("u", "text").dataIsJson);
}

TEST_F(TransferLargeEnd, Base64GoesToStepInsertion) {
  Start("model.step", 2, "base64");
  Chunk("model.step", 0, "SVNP", "base64");
  Chunk("model.step", 1, "LTEw", "base64");
  TransferOutcome o = End("model.step", "base64");
  EXPECT_EQ(o.kind, Kind::Completed);
  EXPECT_EQ(o.data, "");
  EXPECT_FALSE(o.dataIsJson);
  EXPECT_EQ(o.Payload(),
            "{\"type\":\"large\",\"name\":\"model.step\",\"mode\":\"base64\",\"data\":null}");
  ASSERT_EQ(inserter_.calls.size(), 1u);
  EXPECT_EQ(inserter_.calls[0].first, "model.step");
  EXPECT_THAT(inserter_.calls[0].second, ElementsAre("SVNP", "LTEw"));
  EXPECT_EQ(table_.OpenCount(), 0u);
}

TEST_F(TransferLargeEnd, FailedBase64InsertionClosesTheTransfer) {
  inserter_.succeed = false;
  Start("m", 1, "base64");
  Chunk("m", 0, "AAAA", "base64");
  TransferOutcome o = End("m", "base64");
  EXPECT_EQ(o.kind, Kind::Failed);
  EXPECT_EQ(o.detail, "transferLargeEnd base64 STEP data could not be processed");
  EXPECT_EQ(table_.OpenCount(), 0u);
  EXPECT_EQ(table_.HeldBytes(), 0u);
  // Without an inserter at all the same holds.
  TransferServices none;
  HandleTransferPacket(table_, Packet("transferLargeStart", StartBody("n", 1), "base64"), none);
  HandleTransferPacket(table_, Packet("transferLargeData", DataBody("n", 0, "AA"), "base64"), none);
  EXPECT_EQ(
      HandleTransferPacket(table_, Packet("transferLargeEnd", EndBody("n"), "base64"), none).detail,
      "transferLargeEnd base64 STEP data could not be processed");
}

TEST_F(TransferLargeEnd, RefusalsLeaveTheTableAlone) {
  Start("t", 1, "json");
  Chunk("t", 0, "{}", "json");
  EXPECT_EQ(Send(Packet("transferLargeEnd", "{}", "json")).detail,
            "transferLargeEnd requires name");
  EXPECT_EQ(End("x", "json").detail, "transferLargeEnd batch was not started");
  EXPECT_EQ(End("t", "text").detail, "transferLargeEnd mode mismatch");
  EXPECT_EQ(Send(Packet("transferLargeEnd", EndBody("t"))).detail,
            "transferLargeEnd mode mismatch");
  EXPECT_NE(table_.Find("t"), nullptr);
  EXPECT_EQ(End("t", "json").kind, Kind::Completed);
}

TEST_F(TransferLargeEnd, InterleavedTransfersAndEscapedNames) {
  const std::string odd = "na\"me\\ \xC3\xA9";
  Start(odd, 2, "text");
  Start("b", 1, "text");
  Chunk(odd, 1, "2", "text");
  Chunk("b", 0, "B", "text");
  Chunk(odd, 0, "1", "text");
  TransferOutcome b = End("b", "text");
  EXPECT_EQ(b.data, "B");
  TransferOutcome a = End(odd, "text");
  EXPECT_EQ(a.data, "12");
  EXPECT_EQ(a.name, odd);
  EXPECT_EQ(a.reply,
            "{\"cmd\":\"transferLargeEcho\",\"data\":\"{\\\"name\\\":\\\"na\\\\\\\"me"
            "\\\\\\\\ \xC3\xA9\\\"}\"}");
}

TEST_F(TransferLargeEnd, ProcessorFaultIsContained) {
  class Throwing : public JsonPayloadProcessor {
   public:
    void DrawJson(const std::string&) override { throw std::runtime_error("boom"); }
  } throwing;
  TransferServices services{&throwing, nullptr};
  TransferOutcome o =
      HandleTransferPacket(table_, Packet("transferSingle", "{}", "json"), services);
  EXPECT_EQ(o.kind, Kind::Completed);
  EXPECT_EQ(TakeLog().back(), "ERROR webview.protocol protocol_dispatch_failed cmd=transferSingle");
}
