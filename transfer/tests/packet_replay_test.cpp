#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/debug_output.h"
#include "vantrel/packet_replay.h"

using namespace vantrel;

namespace {

std::string ReadData(const std::string& name) {
  std::ifstream in(std::string(TRANSFER_TEST_DATA) + "/replay/" + name, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(PacketReplay, SessionGivesOneDescriptionPerPacket) {
  platform::SetDebugOutputEnabled(false);
  std::istringstream in(ReadData("session.jsonl"));
  std::ostringstream out;
  EXPECT_EQ(ReplayPackets(in, out), 1u);
  EXPECT_EQ(out.str(), ReadData("session.expected"));
  platform::SetDebugOutputEnabled(true);
}

TEST(PacketReplay, EmptyInputPrintsNothing) {
  std::istringstream in("\n  \n\r\n");
  std::ostringstream out;
  EXPECT_EQ(ReplayPackets(in, out), 0u);
  EXPECT_EQ(out.str(), "");
}

TEST(PacketReplay, Base64Check) {
  EXPECT_TRUE(IsBase64Text(""));
  EXPECT_TRUE(IsBase64Text("SVNP"));
  EXPECT_TRUE(IsBase64Text("SVN="));
  EXPECT_TRUE(IsBase64Text("SV=="));
  EXPECT_TRUE(IsBase64Text("a+/9"));
  EXPECT_FALSE(IsBase64Text("S==="));
  EXPECT_FALSE(IsBase64Text("SVN"));
  EXPECT_FALSE(IsBase64Text("S=NP"));
  EXPECT_FALSE(IsBase64Text("SV N"));
}
