// Chunks long enough to be read 64 bytes at a time, dense with the escapes part JSON brings
// (every quote escaped once in the body, its backslash and quote again in the packet), and
// packets built to make the readers work hard.
#include <gmock/gmock.h>

#include "protocol_test_support.h"
#include "vantrel/chunk_hash.h"
#include "vantrel/json_field_readers.h"

using namespace vantrel;
using namespace vantrel::testing;

using Kind = TransferOutcomeKind;

namespace {

// Part-like JSON of `size` bytes with a tab, a newline, a slash and an escaped code unit in
// it, so that every escape form appears at some window offset.
std::string PartText(size_t size) {
  std::string text = "{\"items\":[";
  for (int i = 0; text.size() < size; ++i) {
    text += "{\"id\":\"s" + std::to_string(i) + "\",\"note\":\"a/b\\\\c\t\n\xC3\xA9\"},";
  }
  text.resize(size);
  return text;
}

}  // namespace

class LongChunks : public ProtocolTest {};

TEST_F(LongChunks, AHashedTransferWithOneCorruptedChunkIsRetriedAndAssembledExactly) {
  const std::string whole = PartText(3 * 1000 + 77);
  const std::vector<std::string> chunks = {whole.substr(0, 1000), whole.substr(1000, 1000),
                                           whole.substr(2000)};
  ASSERT_EQ(Send(Packet("transferLargeStart", StartBody("p", 3), "json")).kind, Kind::Accepted);
  for (int i = 0; i < 3; ++i) {
    // Chunk 1 loses its last byte on the way but keeps the hash of the whole.
    const std::string sent = i == 1 ? chunks[1].substr(0, 999) : chunks[i];
    TransferOutcome o =
        Send(Packet("transferLargeData", DataBody("p", i, sent, ChunkHash(chunks[i])), "json"));
    EXPECT_EQ(o.kind, i == 1 ? Kind::RetryRequested : Kind::Accepted) << i;
  }
  TransferOutcome retry = Send(Packet("transferLargeEnd", EndBody("p"), "json"));
  EXPECT_EQ(retry.kind, Kind::RetryRequested);
  EXPECT_EQ(
      retry.reply,
      "{\"cmd\":\"transferLargeRetry\",\"data\":\"{\\\"name\\\":\\\"p\\\",\\\"data\\\":[1]}\"}");
  ASSERT_EQ(
      Send(Packet("transferLargeData", DataBody("p", 1, chunks[1], ChunkHash(chunks[1])), "json"))
          .kind,
      Kind::Accepted);
  TransferOutcome done = Send(Packet("transferLargeEnd", EndBody("p"), "json"));
  ASSERT_EQ(done.kind, Kind::Completed);
  EXPECT_EQ(done.data, whole);
  EXPECT_EQ(done.Payload(),
            "{\"type\":\"large\",\"name\":\"p\",\"mode\":\"json\",\"data\":" + whole + "}");
  EXPECT_THAT(processor_.drawn, ::testing::ElementsAre(whole));
}

TEST_F(LongChunks, ChunksOfEveryLengthAroundTheWindowReadBackWithTheirHash) {
  ASSERT_EQ(Send(Packet("transferLargeStart", StartBody("t", 200), "texts")).kind, Kind::Accepted);
  std::string expected = "[";
  for (int i = 0; i < 200; ++i) {
    const std::string chunk = PartText(static_cast<size_t>(i));
    ASSERT_EQ(
        Send(Packet("transferLargeData", DataBody("t", i, chunk, ChunkHash(chunk)), "texts")).kind,
        Kind::Accepted)
        << "chunk of " << i << " bytes";
    expected += std::string(i > 0 ? "," : "") + "\"" + EscapeJsonString(chunk) + "\"";
  }
  TransferOutcome done = Send(Packet("transferLargeEnd", EndBody("t"), "texts"));
  ASSERT_EQ(done.kind, Kind::Completed);
  EXPECT_EQ(done.data, expected + "]");
}

TEST_F(LongChunks, HugeHostilePacketsAreRefusedPromptly) {
  const std::string backslashes(size_t{4} << 20, '\\');
  // A data literal that never closes, one that is all escaped backslashes with a bad escape at
  // its end, and a body whose every quote is escaped so that no key is ever found.
  EXPECT_EQ(Send("{\"cmd\":\"transferSingle\",\"data\":\"" + backslashes).detail,
            "transfer packet missing data");
  EXPECT_EQ(Send("{\"cmd\":\"transferSingle\",\"data\":\"" + backslashes + "\\x\"}").detail,
            "transfer packet missing data");
  // Two hundred thousand data literals, each long and each with a bad escape at its end:
  // every one is tried, and none may cost more than its own length.
  std::string unreadable = "{\"cmd\":\"transferSingle\"";
  for (int i = 0; i < 200000; ++i) unreadable += ",\"data\":\"" + std::string(40, 'x') + "\\q\"";
  EXPECT_EQ(Send(unreadable + "}").detail, "transfer packet missing data");
  std::string keys;
  for (int i = 0; i < 100000; ++i) keys += "\\\"name\\\":\\\"n\\\",";
  EXPECT_EQ(Send(Packet("transferLargeStart", "{" + keys + "}", "json")).detail,
            "transferLargeStart requires name and size");
  // A packet of a million quoted keys, none of them "mode": read as text.
  std::string quoted = "{\"cmd\":\"transferSingle\",\"data\":\"x\"";
  for (int i = 0; i < 1000000; ++i) quoted += ",\"m\":\"\"";
  TransferOutcome o = Send(quoted + "}");
  EXPECT_EQ(o.kind, Kind::Completed);
  EXPECT_EQ(o.mode, "text");
  EXPECT_EQ(table_.OpenCount(), 0u);
}

TEST_F(LongChunks, AStoredChunkHoldsLittleMoreThanItsSize) {
  // Escaped, a chunk of quotes is twice as long as the chunk itself.
  const std::string quotes(4096, '"');
  ASSERT_EQ(Send(Packet("transferLargeStart", StartBody("q", 1), "text")).kind, Kind::Accepted);
  ASSERT_EQ(Send(Packet("transferLargeData", DataBody("q", 0, quotes), "text")).kind,
            Kind::Accepted);
  // The one chunk of a "text" transfer is held as its joined text.
  const std::string& held = table_.Find("q")->joined;
  EXPECT_EQ(held, quotes);
  EXPECT_LE(held.capacity(), quotes.size() + quotes.size() / 8);
  EXPECT_EQ(table_.HeldBytes(), quotes.size());
}
