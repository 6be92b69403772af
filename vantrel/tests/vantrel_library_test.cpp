// libVantrel.so through its C entry points: packets in, geometry in the host session.
#include "vantrel/vantrel_api.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "dynamic_symbols.h"
#include "occt_host/kernel/inspect.h"
#include "occt_host/session/session.h"
#include "platform/debug_output.h"
#include "platform/environment.h"

namespace vantrel::testing {
namespace {

const std::string kCirclePartJson =
    R"({"flatNode":[{"type":"sketch","id":"s","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],)"
    R"("geometries":[{"type":"circle","center":{"x":0,"y":0},"radius":10}]},)"
    R"({"type":"extrude","id":"e","sketchId":"s","n1Height":20}]})";

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

class VantrelLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetDebugOutputEnabled(false);
    ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", KESTRUN_MODULE_PATH));
    channel_ = Vantrel_OpenChannel();
    ASSERT_NE(channel_, nullptr);
  }
  void TearDown() override {
    Vantrel_CloseChannel(channel_);
    platform::UnsetEnv("TOLVANE_MARDEL_CORE_DLL");
    platform::SetDebugOutputEnabled(true);
  }
  int32_t Send(const std::string& packet, std::string* reply = nullptr) {
    char buffer[4096];
    uint64_t size = 0;
    int32_t kind =
        Vantrel_HandlePacket(channel_, packet.data(), packet.size(), buffer, sizeof buffer, &size);
    if (reply != nullptr) *reply = buffer;
    return kind;
  }

  occt_host::Session session_;
  VantrelChannel* channel_ = nullptr;
};

TEST_F(VantrelLibraryTest, SinglePacketDrawsIntoTheActivePart) {
  auto part = session_.newDocument("Part");
  session_.openWindow(part);
  std::string reply;
  const std::string packet = "{\"cmd\":\"transferSingle\",\"mode\":\"json\",\"data\":\"" +
                             Escaped(kCirclePartJson) + "\"}";
  EXPECT_EQ(Send(packet, &reply), 1);
  EXPECT_EQ(reply.rfind("{\"type\":\"transfer:received\"", 0), 0u) << reply;
  // π·10²·20
  const double expected = M_PI * 10.0 * 10.0 * 20.0;
  EXPECT_NEAR(occt_host::partVolume(part), expected, expected * 1e-6);
  void* core = ::dlopen(KESTRUN_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD);
  EXPECT_EQ(core, nullptr);
  if (core != nullptr) ::dlclose(core);
}

TEST_F(VantrelLibraryTest, RefusalsAndShortReplyBuffers) {
  char small[8];
  uint64_t size = 0;
  const std::string packet = "{\"cmd\":\"nope\",\"data\":\"x\"}";
  EXPECT_EQ(
      Vantrel_HandlePacket(channel_, packet.data(), packet.size(), small, sizeof small, &size), 3);
  EXPECT_GT(size, sizeof small);
  EXPECT_EQ(std::string(small).size(), sizeof small - 1);
  EXPECT_EQ(Vantrel_HandlePacket(nullptr, packet.data(), packet.size(), small, sizeof small, &size),
            -1);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(Vantrel_HandlePacket(channel_, nullptr, 0, nullptr, 0, nullptr), -1);
}

TEST_F(VantrelLibraryTest, ExportsOnlyItsEntryPoints) {
  void* self = ::dlopen(VANTREL_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(self, nullptr);
  EXPECT_NE(::dlsym(self, "Vantrel_HandlePacket"), nullptr);
  EXPECT_NE(::dlsym(self, "Vantrel_SetDrawDelayMs"), nullptr);
  ::dlclose(self);
  // The whole dynamic symbol table: the C entry points and the two creation functions the host
  // looks up, and no C++ function of the module.
  std::set<std::string> exported;
  std::string error;
  ASSERT_TRUE(ReadDefinedDynamicSymbols(VANTREL_MODULE_PATH, exported, error)) << error;
  const std::set<std::string> allowed = {
      "CreateTIECATIAfrGeneralWksAddinVantrelAddin",
      "Vantrel_CloseChannel",
      "Vantrel_HandlePacket",
      "Vantrel_OpenChannel",
      "Vantrel_SetDrawDelayMs",
      "Vantrel_SetFrontendLocation",
      "fctCreateVantrelCmd",
  };
  EXPECT_EQ(exported, allowed);
}

}  // namespace
}  // namespace vantrel::testing
