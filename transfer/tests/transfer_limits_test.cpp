#include <gmock/gmock.h>

#include "protocol_test_support.h"

using namespace vantrel;
using namespace vantrel::testing;

using Kind = TransferOutcomeKind;

namespace {

TransferLimits SmallLimits() {
  TransferLimits limits;
  limits.maxOpenTransfers = 3;
  limits.maxNameBytes = 16;
  limits.maxChunkBytes = 10;
  limits.maxHeldBytes = 25;
  return limits;
}

}  // namespace

class TransferBounds : public ProtocolTest {};

TEST_F(TransferBounds, DefaultsKeepNormalUseAndBoundMemory) {
  TransferLimits limits;
  EXPECT_EQ(limits.maxChunkCount, 4096u);
  EXPECT_EQ(limits.maxOpenTransfers, 64u);
  EXPECT_EQ(limits.maxChunkBytes, size_t{64} << 20);
  EXPECT_EQ(limits.maxHeldBytes, size_t{1} << 30);
  EXPECT_EQ(limits.maxNameBytes, 1024u);
}

TEST_F(TransferBounds, ManyStartsUnderDifferentNamesStopAtTheOpenLimit) {
  table_ = TransferTable(SmallLimits());
  for (int i = 0; i < 1000; ++i) {
    TransferOutcome o =
        Send(Packet("transferLargeStart", StartBody("n" + std::to_string(i), 4096)));
    EXPECT_EQ(o.kind, i < 3 ? Kind::Accepted : Kind::Failed);
    if (i >= 3) {
      EXPECT_EQ(o.detail, "transferLargeStart too many open transfers");
    }
  }
  EXPECT_EQ(table_.OpenCount(), 3u);
  // Replacing an open one is still allowed, and closing one makes room.
  EXPECT_EQ(Send(Packet("transferLargeStart", StartBody("n1", 1))).kind, Kind::Accepted);
  Send(Packet("transferLargeData", DataBody("n1", 0, "x")));
  EXPECT_EQ(Send(Packet("transferLargeEnd", EndBody("n1"))).kind, Kind::Completed);
  EXPECT_EQ(Send(Packet("transferLargeStart", StartBody("fresh", 1))).kind, Kind::Accepted);
}

TEST_F(TransferBounds, LongNamesOversizedChunksAndTooMuchHeldDataAreRefused) {
  table_ = TransferTable(SmallLimits());
  EXPECT_EQ(Send(Packet("transferLargeStart", StartBody(std::string(17, 'n'), 2))).detail,
            "transferLargeStart name exceeds limit");
  ASSERT_EQ(Send(Packet("transferLargeStart", StartBody("a", 3))).kind, Kind::Accepted);
  EXPECT_EQ(Send(Packet("transferLargeData", DataBody("a", 0, std::string(11, 'x')))).detail,
            "transferLargeData chunk exceeds size limit");
  EXPECT_EQ(Send(Packet("transferLargeData", DataBody("a", 0, std::string(10, 'x')))).kind,
            Kind::Accepted);
  EXPECT_EQ(Send(Packet("transferLargeData", DataBody("a", 1, std::string(10, 'x')))).kind,
            Kind::Accepted);
  EXPECT_EQ(Send(Packet("transferLargeData", DataBody("a", 2, std::string(6, 'x')))).detail,
            "transferLargeData open transfers exceed memory limit");
  EXPECT_EQ(table_.HeldBytes(), 20u);
  // Overwriting a chunk with a smaller one frees room; the accepted chunks are all kept.
  EXPECT_EQ(Send(Packet("transferLargeData", DataBody("a", 1, "y"))).kind, Kind::Accepted);
  EXPECT_EQ(Send(Packet("transferLargeData", DataBody("a", 2, std::string(6, 'x')))).kind,
            Kind::Accepted);
  EXPECT_EQ(table_.HeldBytes(), 17u);
  TransferOutcome o = Send(Packet("transferLargeEnd", EndBody("a")));
  EXPECT_EQ(o.data, std::string(10, 'x') + "y" + std::string(6, 'x'));
  EXPECT_EQ(table_.HeldBytes(), 0u);
}

TEST_F(TransferBounds, HugeUntrustedValuesAreCutInTheLog) {
  std::string command(100000, 'c');
  Send(Packet(command, "x"));
  std::string line = TakeLog().back();
  EXPECT_EQ(line, "ERROR webview.protocol protocol_error cmd=" + std::string(256, 'c') +
                      "... detail=unknown transfer command");
}

TEST_F(TransferBounds, InvalidUtf8AndControlBytesStayContained) {
  TransferOutcome o = Send(Packet("transferSingle", std::string("a\x01\xFF\x00z", 5)));
  EXPECT_EQ(o.kind, Kind::Completed);
  EXPECT_EQ(o.data, std::string("a\x01\xFF\x00z", 5));
  // Control bytes are escaped and the byte that is not UTF-8 is replaced, so that the reply
  // stays JSON.
  EXPECT_EQ(o.Payload(),
            "{\"type\":\"single\",\"mode\":\"text\",\"data\":\"a\\u0001\\ufffd\\u0000z\"}");
}
