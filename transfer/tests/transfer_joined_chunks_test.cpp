// Chunks of "json" and "text" transfers that arrive in order are decoded straight onto the
// transfer's joined text; whatever the order of arrival, the refusals and the re-sends, the
// assembled data must be the chunks in index order and the held bytes their sizes.
#include <gmock/gmock.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "protocol_test_support.h"
#include "vantrel/chunk_hash.h"
#include "vantrel/json_field_readers.h"

using namespace vantrel;
using namespace vantrel::testing;

using Kind = TransferOutcomeKind;

namespace {

// Part-like text: quotes, backslashes and a control byte, so chunks are escaped densely.
std::vector<std::string> Chunks(size_t count, size_t size) {
  std::vector<std::string> chunks;
  for (size_t i = 0; i < count; ++i) {
    std::string chunk = i == 0 ? "{" : "";
    while (chunk.size() < size + i) chunk += "\"k" + std::to_string(i) + "\":\"a\\\\b\t\",";
    chunk.resize(size + i);  // sizes differ, so a chunk in the wrong place shows
    chunks.push_back(chunk);
  }
  return chunks;
}

std::string Joined(const std::vector<std::string>& chunks) {
  return std::accumulate(chunks.begin(), chunks.end(), std::string());
}

size_t TotalSize(const std::vector<std::string>& chunks) {
  return Joined(chunks).size();
}

}  // namespace

class JoinedChunks : public ProtocolTest {
 protected:
  TransferOutcome SendChunk(const std::string& mode, size_t index, const std::string& chunk,
                            const std::string& hash) {
    return Send(Packet("transferLargeData", DataBody("j", int(index), chunk, hash), mode));
  }
  TransferOutcome SendChunk(const std::string& mode, size_t index, const std::string& chunk) {
    return SendChunk(mode, index, chunk, ChunkHash(chunk));
  }
};

TEST_F(JoinedChunks, AnyOrderOfArrivalWithDamagedChunksGivesTheChunksInIndexOrder) {
  const std::vector<std::string> chunks = Chunks(6, 300);
  std::vector<size_t> order(chunks.size());
  std::iota(order.begin(), order.end(), 0);
  std::mt19937 random(12);
  for (const char* mode : {"json", "text"}) {
    for (int round = 0; round < 40; ++round) {
      std::shuffle(order.begin(), order.end(), random);
      ASSERT_EQ(Send(Packet("transferLargeStart", StartBody("j", 6), mode)).kind, Kind::Accepted);
      for (size_t index : order) {
        // Every other chunk first arrives with a byte lost and is asked for again.
        if ((index + round) % 2 == 0) {
          const std::string damaged = chunks[index].substr(1);
          ASSERT_EQ(SendChunk(mode, index, damaged, ChunkHash(chunks[index])).kind,
                    Kind::RetryRequested);
        }
        ASSERT_EQ(SendChunk(mode, index, chunks[index]).kind, Kind::Accepted);
      }
      EXPECT_EQ(table_.HeldBytes(), TotalSize(chunks));
      TransferOutcome done = Send(Packet("transferLargeEnd", EndBody("j"), mode));
      ASSERT_EQ(done.kind, Kind::Completed) << mode << " round " << round;
      EXPECT_EQ(done.data, Joined(chunks)) << mode << " round " << round;
      EXPECT_EQ(table_.HeldBytes(), 0u);
    }
  }
}

TEST_F(JoinedChunks, AChunkSentAgainAfterItWasJoinedReplacesIt) {
  const std::vector<std::string> chunks = Chunks(4, 200);
  ASSERT_EQ(Send(Packet("transferLargeStart", StartBody("j", 4), "json")).kind, Kind::Accepted);
  for (size_t i = 0; i < 3; ++i) ASSERT_EQ(SendChunk("json", i, chunks[i]).kind, Kind::Accepted);
  ASSERT_EQ(SendChunk("json", 1, "[1,2]").kind, Kind::Accepted);
  ASSERT_EQ(SendChunk("json", 3, chunks[3]).kind, Kind::Accepted);
  EXPECT_EQ(table_.HeldBytes(), chunks[0].size() + 5 + chunks[2].size() + chunks[3].size());
  TransferOutcome done = Send(Packet("transferLargeEnd", EndBody("j"), "json"));
  EXPECT_EQ(done.data, chunks[0] + "[1,2]" + chunks[2] + chunks[3]);
}

TEST_F(JoinedChunks, RefusedChunksLeaveTheJoinedTextAsItWas) {
  const std::vector<std::string> chunks = Chunks(3, 100);
  TransferLimits limits;
  limits.maxChunkBytes = 150;
  limits.maxHeldBytes = TotalSize(chunks) + 10;
  table_ = TransferTable(limits);
  ASSERT_EQ(Send(Packet("transferLargeStart", StartBody("j", 3), "json")).kind, Kind::Accepted);
  ASSERT_EQ(SendChunk("json", 0, chunks[0]).kind, Kind::Accepted);
  // Refused while chunk 1 is next in order: a wrong hash, a chunk over the size limit, one
  // over the held-bytes limit (after chunk 2 has come early), and data with a bad escape.
  EXPECT_EQ(SendChunk("json", 1, chunks[1], "00000000").kind, Kind::RetryRequested);
  EXPECT_EQ(SendChunk("json", 1, std::string(151, 'x')).detail,
            "transferLargeData chunk exceeds size limit");
  ASSERT_EQ(SendChunk("json", 2, chunks[2]).kind, Kind::Accepted);
  EXPECT_EQ(SendChunk("json", 1, std::string(chunks[1].size() + 11, 'x')).detail,
            "transferLargeData open transfers exceed memory limit");
  const std::string badEscape = "{\\\"name\\\":\\\"j\\\",\\\"index\\\":1,\\\"data\\\":\\\"" +
                                std::string(100, 'x') + "\\\\q\\\"}";
  EXPECT_EQ(Send(Packet("transferLargeData", badEscape, "json")).detail,
            "transferLargeData requires name, index and data");
  EXPECT_EQ(table_.HeldBytes(), chunks[0].size() + chunks[2].size());
  ASSERT_EQ(SendChunk("json", 1, chunks[1]).kind, Kind::Accepted);
  TransferOutcome done = Send(Packet("transferLargeEnd", EndBody("j"), "json"));
  EXPECT_EQ(done.data, Joined(chunks));
}

TEST_F(JoinedChunks, AnUnreadableFirstDataIsPassedOverForAReadableOne) {
  const std::vector<std::string> chunks = Chunks(2, 100);
  ASSERT_EQ(Send(Packet("transferLargeStart", StartBody("j", 2), "json")).kind, Kind::Accepted);
  ASSERT_EQ(SendChunk("json", 0, chunks[0]).kind, Kind::Accepted);
  // Two "data" keys: the first value has a bad escape half-way, the second is the chunk.
  const std::string body = "{\"name\":\"j\",\"index\":1,\"data\":\"" + std::string(80, 'y') +
                           "\\q" + std::string(80, 'y') + "\",\"data\":\"" +
                           EscapeJsonString(chunks[1]) + "\",\"hash\":\"" + ChunkHash(chunks[1]) +
                           "\"}";
  ASSERT_EQ(Send(Packet("transferLargeData", body, "json")).kind, Kind::Accepted);
  EXPECT_EQ(Send(Packet("transferLargeEnd", EndBody("j"), "json")).data, Joined(chunks));
}

TEST_F(JoinedChunks, AJsonTransferThatIsNotJsonStaysOpenWithItsChunks) {
  ASSERT_EQ(Send(Packet("transferLargeStart", StartBody("j", 2), "json")).kind, Kind::Accepted);
  ASSERT_EQ(SendChunk("json", 0, std::string(100, ' ') + "<not").kind, Kind::Accepted);
  ASSERT_EQ(SendChunk("json", 1, " json>").kind, Kind::Accepted);
  EXPECT_EQ(Send(Packet("transferLargeEnd", EndBody("j"), "json")).detail,
            "transferLargeEnd json data is not json");
  // Mended by sending chunk 0 again: the rest is still held.
  ASSERT_EQ(SendChunk("json", 0, "[\"now\",").kind, Kind::Accepted);
  ASSERT_EQ(SendChunk("json", 1, "\"json\"]").kind, Kind::Accepted);
  TransferOutcome done = Send(Packet("transferLargeEnd", EndBody("j"), "json"));
  EXPECT_EQ(done.data, "[\"now\",\"json\"]");
  EXPECT_EQ(done.Payload(),
            "{\"type\":\"large\",\"name\":\"j\",\"mode\":\"json\",\"data\":[\"now\",\"json\"]}");
}
