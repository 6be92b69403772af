#include <gmock/gmock.h>

#include "protocol_test_support.h"
#include "vantrel/chunk_hash.h"
#include "vantrel/demo_schema_handler.h"

using namespace vantrel;
using namespace vantrel::testing;
using ::testing::ElementsAre;

using Kind = TransferOutcomeKind;

// --- the packet envelope -------------------------------------------------------------------

class PacketEnvelope : public ProtocolTest {};

TEST_F(PacketEnvelope, MissingOrMistypedFieldsFail) {
  TransferOutcome o = Send("{\"data\":\"x\"}");
  EXPECT_EQ(o.kind, Kind::Failed);
  EXPECT_EQ(o.command, "");
  EXPECT_EQ(o.detail, "transfer packet missing cmd");
  EXPECT_EQ(
      o.reply,
      "{\"type\":\"transfer:error\",\"ok\":false,\"message\":\"transfer packet missing cmd\"}");
  EXPECT_EQ(Send("{\"cmd\":\"transferSingle\"}").detail, "transfer packet missing data");
  EXPECT_EQ(Send("{\"cmd\":\"transferSingle\",\"data\":{\"a\":1}}").detail,
            "transfer packet missing data");
  EXPECT_EQ(Send("{\"cmd\":5,\"data\":\"x\"}").detail, "transfer packet missing cmd");
  TransferOutcome unknown = Send(Packet("transferEverything", "x"));
  EXPECT_EQ(unknown.detail, "unknown transfer command");
  EXPECT_EQ(unknown.command, "transferEverything");
  EXPECT_EQ(Send(Packet("TransferSingle", "x")).detail, "unknown transfer command");
  EXPECT_THAT(
      TakeLog(),
      ElementsAre("ERROR webview.protocol protocol_error cmd= detail=transfer packet missing cmd",
                  "ERROR webview.protocol protocol_error cmd=transferSingle detail=transfer packet "
                  "missing data",
                  "ERROR webview.protocol protocol_error cmd=transferSingle detail=transfer packet "
                  "missing data",
                  "ERROR webview.protocol protocol_error cmd= detail=transfer packet missing cmd",
                  "ERROR webview.protocol protocol_error cmd=transferEverything detail=unknown "
                  "transfer command",
                  "ERROR webview.protocol protocol_error cmd=TransferSingle detail=unknown "
                  "transfer command"));
}

TEST_F(PacketEnvelope, BrokenTextIsRefusedNotCrashedOn) {
  for (std::string text : {std::string(""), std::string("{"), std::string("\"cmd\""),
                           std::string("{\"cmd\":\"transferSingle\",\"data\":\"unterminated"),
                           std::string("{\"cmd\":\"transferSingle\",\"data\":\"bad \\x escape\"}"),
                           std::string("{\"cmd\":\"transferSingle\",\"data\":\"\\u12\"}"),
                           std::string("{\"cmd\":\"transferSingle\",\"data\":\"\\"),
                           std::string(100000, '{'), std::string("\0\0\0", 3)}) {
    TransferOutcome o = Send(text);
    EXPECT_EQ(o.kind, Kind::Failed) << text.substr(0, 40);
    EXPECT_FALSE(o.reply.empty());
  }
  EXPECT_EQ(table_.OpenCount(), 0u);
}

TEST_F(PacketEnvelope, DuplicatedKeysUseTheFirstReadableOne) {
  TransferOutcome o = Send(
      "{\"cmd\":\"transferSingle\",\"cmd\":\"transferLargeEnd\",\"data\":\"\\q\",\"data\":"
      "\"two\"}");
  EXPECT_EQ(o.kind, Kind::Completed);
  EXPECT_EQ(o.data, "two");
}

// --- transferSingle ------------------------------------------------------------------------

class TransferSingle : public ProtocolTest {};

TEST_F(TransferSingle, JsonIsCompletedEchoedRawAndDrawnAtOnce) {
  TransferOutcome o = Send(Packet("transferSingle", "{\"items\":[1,2]}", "json"));
  EXPECT_EQ(o.kind, Kind::Completed);
  EXPECT_EQ(o.command, "transferSingle");
  EXPECT_EQ(o.name, "");
  EXPECT_EQ(o.transferType, "single");
  EXPECT_EQ(o.mode, "json");
  EXPECT_EQ(o.data, "{\"items\":[1,2]}");
  EXPECT_TRUE(o.dataIsJson);
  EXPECT_EQ(o.Payload(), "{\"type\":\"single\",\"mode\":\"json\",\"data\":{\"items\":[1,2]}}");
  EXPECT_EQ(o.reply,
            "{\"type\":\"transfer:received\",\"ok\":true,\"data\":"
            "{\"type\":\"single\",\"mode\":\"json\",\"data\":{\"items\":[1,2]}}}");
  EXPECT_THAT(processor_.drawn, ElementsAre("{\"items\":[1,2]}"));
  EXPECT_THAT(TakeLog(), ElementsAre("INFO webview.protocol protocol_receive cmd=transferSingle "
                                     "mode=json data_chars=15"));
}

TEST_F(TransferSingle, TextIsTheDefaultModeAndIsEscapedInTheReply) {
  TransferOutcome o = Send(Packet("transferSingle", "say \"hi\"\n"));
  EXPECT_EQ(o.kind, Kind::Completed);
  EXPECT_EQ(o.mode, "text");
  EXPECT_EQ(o.data, "say \"hi\"\n");
  EXPECT_FALSE(o.dataIsJson);
  EXPECT_EQ(o.Payload(), "{\"type\":\"single\",\"mode\":\"text\",\"data\":\"say \\\"hi\\\"\\n\"}");
  EXPECT_TRUE(processor_.drawn.empty());
  EXPECT_THAT(TakeLog(), ElementsAre("INFO webview.protocol protocol_receive cmd=transferSingle "
                                     "mode=text data_chars=9"));
}

TEST_F(TransferSingle, WrongModeOrNonJsonDataFails) {
  EXPECT_EQ(Send(Packet("transferSingle", "[1]", "jsons")).detail,
            "transferSingle mode must be json or text");
  EXPECT_EQ(Send(Packet("transferSingle", "aGVsbG8=", "base64")).detail,
            "transferSingle mode must be json or text");
  TransferOutcome o = Send(Packet("transferSingle", "  hello", "json"));
  EXPECT_EQ(o.detail, "transferSingle data is not json");
  EXPECT_TRUE(processor_.drawn.empty());
  EXPECT_THAT(
      TakeLog(),
      ElementsAre(
          "ERROR webview.protocol protocol_error cmd=transferSingle detail=transferSingle mode "
          "must be json or text",
          "ERROR webview.protocol protocol_error cmd=transferSingle detail=transferSingle mode "
          "must be json or text",
          "INFO webview.protocol protocol_receive cmd=transferSingle mode=json data_chars=7",
          "ERROR webview.protocol protocol_error cmd=transferSingle detail=transferSingle data is "
          "not json"));
}

TEST_F(TransferSingle, SchemaTextIsCompletedAndOfferedToTheDemoSchemaHook) {
  TransferOutcome o = Send(Packet("transferSingle", "{\"schemaVersion\":\"1\"}"));
  EXPECT_EQ(o.kind, Kind::Completed);
  EXPECT_EQ(o.reply,
            "{\"type\":\"transfer:received\",\"ok\":true,\"data\":{\"type\":\"single\","
            "\"mode\":\"text\",\"data\":\"{\\\"schemaVersion\\\":\\\"1\\\"}\"}}");
  UnwiredActivePartAdapter adapter;
  EXPECT_EQ(DemoSchemaHook(&adapter, o),
            "{\"id\":\"webview-transfer\",\"type\":\"plugin:response\",\"ok\":false,\"error\":"
            "{\"code\":\"schema.invalid\",\"message\":\"demo schema requires schemaVersion and "
            "units\"}}");
}

// --- transferLargeStart --------------------------------------------------------------------

class TransferLargeStart : public ProtocolTest {};

TEST_F(TransferLargeStart, OpensATransferOfUpTo4096Chunks) {
  TransferOutcome o = Send(Packet("transferLargeStart", StartBody("big", 4096), "json"));
  EXPECT_EQ(o.kind, Kind::Accepted);
  EXPECT_EQ(o.reply, "");
  EXPECT_EQ(o.name, "big");
  ASSERT_NE(table_.Find("big"), nullptr);
  EXPECT_EQ(table_.Find("big")->chunks.size(), 4096u);
  EXPECT_EQ(table_.Find("big")->mode, "json");
  EXPECT_THAT(TakeLog(),
              ElementsAre("INFO webview.protocol protocol_receive cmd=transferLargeStart "
                          "mode=json name=big chunk_count=4096"));
}

TEST_F(TransferLargeStart, RefusalsInTheirOrder) {
  EXPECT_EQ(Send(Packet("transferLargeStart", StartBody("big", 4097))).detail,
            "transferLargeStart size exceeds limit");
  EXPECT_EQ(Send(Packet("transferLargeStart", StartBody("z", 0))).detail,
            "transferLargeStart has invalid name or size");
  EXPECT_EQ(Send(Packet("transferLargeStart", StartBody("z", -3))).detail,
            "transferLargeStart has invalid name or size");
  EXPECT_EQ(Send(Packet("transferLargeStart", StartBody("", 3))).detail,
            "transferLargeStart has invalid name or size");
  EXPECT_EQ(Send(Packet("transferLargeStart", "{\"name\":\"a\",\"size\":\"3\"}")).detail,
            "transferLargeStart requires name and size");
  EXPECT_EQ(Send(Packet("transferLargeStart", "{\"size\":3}")).detail,
            "transferLargeStart requires name and size");
  EXPECT_EQ(Send(Packet("transferLargeStart", "{\"name\":\"a\",\"size\":99999999999}")).detail,
            "transferLargeStart requires name and size");
  // The size test comes before the mode test.
  EXPECT_EQ(Send(Packet("transferLargeStart", StartBody("a", 5000), "xml")).detail,
            "transferLargeStart size exceeds limit");
  EXPECT_EQ(Send(Packet("transferLargeStart", StartBody("a", 5), "xml")).detail,
            "transferLargeStart mode must be json, jsons, texts, text or base64");
  EXPECT_EQ(table_.OpenCount(), 0u);
}

TEST_F(TransferLargeStart, SizeAsFractionReadsItsIntegerPartAndKeyNamesAsValuesDoNotConfuse) {
  EXPECT_EQ(Send(Packet("transferLargeStart", "{\"name\":\"a\",\"size\":3.5}")).kind,
            Kind::Accepted);
  EXPECT_EQ(table_.Find("a")->chunks.size(), 3u);
  // A transfer called "size" still has its size read from the key, not from its name.
  EXPECT_EQ(Send(Packet("transferLargeStart", "{\"name\":\"size\",\"size\":2}")).kind,
            Kind::Accepted);
  EXPECT_EQ(table_.Find("size")->chunks.size(), 2u);
}

TEST_F(TransferLargeStart, SameNameReplacesTheOpenTransfer) {
  Send(Packet("transferLargeStart", StartBody("t", 2), "text"));
  Send(Packet("transferLargeData", DataBody("t", 0, "old"), "text"));
  Send(Packet("transferLargeStart", StartBody("t", 3), "texts"));
  ASSERT_NE(table_.Find("t"), nullptr);
  EXPECT_EQ(table_.Find("t")->chunks.size(), 3u);
  EXPECT_EQ(table_.Find("t")->mode, "texts");
  EXPECT_FALSE(table_.Find("t")->received[0]);
  EXPECT_EQ(table_.HeldBytes(), 0u);
}

TEST_F(TransferLargeStart, NamesAreCaseSensitive) {
  Send(Packet("transferLargeStart", StartBody("Part", 1)));
  Send(Packet("transferLargeStart", StartBody("part", 1)));
  EXPECT_EQ(table_.OpenCount(), 2u);
}

// --- transferLargeData ---------------------------------------------------------------------

class TransferLargeData : public ProtocolTest {
 protected:
  void SetUp() override {
    ProtocolTest::SetUp();
    Send(Packet("transferLargeStart", StartBody("t", 3), "json"));
    TakeLog();
  }
};

TEST_F(TransferLargeData, StoresChunksAndLogsTheHashState) {
  EXPECT_EQ(Send(Packet("transferLargeData", DataBody("t", 0, "{\"a\":"), "json")).kind,
            Kind::Accepted);
  TransferOutcome o =
      Send(Packet("transferLargeData", DataBody("t", 1, "1}", ChunkHash("1}")), "json"));
  EXPECT_EQ(o.kind, Kind::Accepted);
  EXPECT_EQ(o.reply, "");
  // Chunks of a "json" transfer that come in order are held joined.
  EXPECT_EQ(table_.Find("t")->joined, "{\"a\":1}");
  EXPECT_THAT(table_.Find("t")->joinedEnds, ElementsAre(5u, 7u));
  EXPECT_TRUE(table_.Find("t")->received[1]);
  EXPECT_FALSE(table_.Find("t")->received[2]);
  EXPECT_THAT(TakeLog(),
              ElementsAre("INFO webview.protocol protocol_receive cmd=transferLargeData mode=json "
                          "name=t index=0 data_chars=5 hash=absent",
                          "INFO webview.protocol protocol_receive cmd=transferLargeData mode=json "
                          "name=t index=1 data_chars=2 hash=verified"));
}

TEST_F(TransferLargeData, RepeatedIndexOverwrites) {
  Send(Packet("transferLargeData", DataBody("t", 2, "first"), "json"));
  Send(Packet("transferLargeData", DataBody("t", 2, "second"), "json"));
  EXPECT_EQ(table_.Find("t")->chunks[2], "second");
  EXPECT_EQ(table_.HeldBytes(), 6u);
}

TEST_F(TransferLargeData, MissingModeIsTextAndMismatches) {
  EXPECT_EQ(Send(Packet("transferLargeData", DataBody("t", 0, "x"))).detail,
            "transferLargeData mode mismatch");
  EXPECT_EQ(Send(Packet("transferLargeData", DataBody("t", 0, "x"), "text")).detail,
            "transferLargeData mode mismatch");
  EXPECT_FALSE(table_.Find("t")->received[0]);
}

TEST_F(TransferLargeData, IndexAndBatchRefusals) {
  EXPECT_EQ(Send(Packet("transferLargeData", DataBody("t", 3, "x"), "json")).detail,
            "transferLargeData index out of range");
  EXPECT_EQ(Send(Packet("transferLargeData", DataBody("t", -1, "x"), "json")).detail,
            "transferLargeData index out of range");
  EXPECT_EQ(Send(Packet("transferLargeData", "{\"name\":\"t\",\"index\":2147483648,\"data\":\"x\"}",
                        "json"))
                .detail,
            "transferLargeData requires name, index and data");
  EXPECT_EQ(Send(Packet("transferLargeData", DataBody("other", 0, "x"), "json")).detail,
            "transferLargeData batch was not started");
  EXPECT_EQ(Send(Packet("transferLargeData", "{\"name\":\"t\",\"index\":0}", "json")).detail,
            "transferLargeData requires name, index and data");
  EXPECT_EQ(
      Send(Packet("transferLargeData", "{\"name\":\"t\",\"index\":\"0\",\"data\":\"x\"}", "json"))
          .detail,
      "transferLargeData requires name, index and data");
  EXPECT_EQ(
      Send(Packet("transferLargeData", "{\"name\":\"t\",\"index\":0,\"data\":7}", "json")).detail,
      "transferLargeData requires name, index and data");
  EXPECT_EQ(table_.HeldBytes(), 0u);
}

TEST_F(TransferLargeData, WrongHashAsksForThatChunkAgainAndStoresNothing) {
  std::string upper = ChunkHash("{}");
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  ASSERT_NE(upper, ChunkHash("{}"));  // the hash of "{}" has letters
  TransferOutcome o = Send(Packet("transferLargeData", DataBody("t", 1, "{}", upper), "json"));
  EXPECT_EQ(o.kind, Kind::RetryRequested);
  EXPECT_EQ(o.command, "transferLargeData");
  EXPECT_EQ(o.name, "t");
  EXPECT_EQ(
      o.reply,
      "{\"cmd\":\"transferLargeRetry\",\"data\":\"{\\\"name\\\":\\\"t\\\",\\\"data\\\":[1]}\"}");
  EXPECT_FALSE(table_.Find("t")->received[1]);
  EXPECT_THAT(TakeLog(), ElementsAre("WARN webview.protocol protocol_retry cmd=transferLargeData "
                                     "name=t index_count=1 first_index=1"));
  // An empty hash is no hash.
  EXPECT_EQ(Send(Packet("transferLargeData", DataBody("t", 1, "{}", ""), "json")).kind,
            Kind::Accepted);
  EXPECT_THAT(TakeLog(), ElementsAre("INFO webview.protocol protocol_receive cmd=transferLargeData "
                                     "mode=json name=t index=1 data_chars=2 hash=absent"));
}
