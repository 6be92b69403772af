#include "replay/session_replay.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "occt_host/exchange/step_import.h"
#include "platform/debug_output.h"
#include "platform/environment.h"
#include "platform/temp_files.h"
#include "step_samples.h"
#include "vantrel/json_field_readers.h"

#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>

#include <cmath>
#include <fstream>
#include <iterator>

namespace vantrel::testing {
namespace {

class SessionReplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetDebugOutputEnabled(false);
    ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", KESTRUN_MODULE_PATH));
    dir_ = platform::CreateUniqueTempDirectory(*platform::TempPath(), "replay-test-").value_or("");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override {
    platform::UnsetEnv("TOLVANE_MARDEL_CORE_DLL");
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
    platform::SetDebugOutputEnabled(true);
  }
  std::string dir_;
};

TEST_F(SessionReplayTest, DrawsExportsAndReportsEachDocument) {
  // No document is open, so the first json payload creates Part1 and the fallback cylinder is
  // drawn into it; the text payload is never drawn; the base64 transfer has no inserter.
  std::istringstream in(
      "{\"cmd\":\"transferSingle\",\"mode\":\"json\",\"data\":\"{}\"}\n"
      "\n"
      "{\"cmd\":\"transferSingle\",\"mode\":\"text\",\"data\":\"hello\"}\n");
  std::ostringstream out;
  const std::string exportDir = dir_ + "/out";
  EXPECT_EQ(ReplaySession(in, out, exportDir), 0u);
  std::istringstream lines(out.str());
  std::string line;
  std::vector<std::string> all;
  while (std::getline(lines, line)) all.push_back(line);
  ASSERT_EQ(all.size(), 3u) << out.str();
  EXPECT_EQ(all[0].rfind("{\"kind\":\"Completed\"", 0), 0u);
  EXPECT_EQ(all[2], "{\"document\":\"Part1\",\"kind\":\"Part\",\"step\":\"" + exportDir +
                        "/Part1.step\",\"lastDraw\":{\"status\":1,\"resultStatus\":1,"
                        "\"errorCode\":0,\"createdCount\":2,\"message\":\"" +
                        all[2].substr(all[2].find("\"message\":\"") + 11));
  EXPECT_GT(std::filesystem::file_size(exportDir + "/Part1.step"), 0u);
}

TEST_F(SessionReplayTest, DocumentsWithoutASolidAreListedWithoutAFile) {
  // A product payload without source parts creates a Product document and draws nothing.
  std::istringstream in(
      "{\"cmd\":\"transferSingle\",\"mode\":\"json\",\"data\":\"{\\\"partList\\\":[]}\"}\n");
  std::ostringstream out;
  ReplaySession(in, out, dir_);
  const std::string text = out.str();
  EXPECT_NE(text.find("{\"document\":\"Product1\",\"kind\":\"Product\",\"step\":null,"
                      "\"stepError\":\"the Product holds no instance with a solid\","
                      "\"lastDraw\":{\"status\":2,"),
            std::string::npos)
      << text;
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/Product1.step"));
}

std::string Base64(const std::string& bytes) {
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t n = bytes.size() - i < 3 ? bytes.size() - i : 3;
    uint32_t v = 0;
    for (size_t k = 0; k < 3; ++k)
      v = v << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (size_t k = 0; k < 4; ++k) out.push_back(k <= n ? alphabet[(v >> (18 - 6 * k)) & 63] : '=');
  }
  return out;
}

std::string Packet(const std::string& cmd, const std::string& body, const std::string& mode) {
  return "{\"cmd\":\"" + cmd + "\",\"data\":\"" + EscapeJsonString(body) + "\",\"mode\":\"" + mode +
         "\"}\n";
}

TEST_F(SessionReplayTest, Base64StepTransfersAreInsertedIntoTheActivePart) {
  // A circle of radius 10 padded by 20 makes Part1; then a 10 x 20 x 30 box arrives as a STEP
  // file in two base64 chunks and is pasted into Part1 as a body of its own.
  const std::string stepPath = dir_ + "/box.step";
  ASSERT_TRUE(occt_host::testing::writeBoxStep(stepPath, 10, 20, 30, "Bracket", 9, 9, 9));
  std::ifstream file(stepPath, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const size_t half = bytes.size() / 2 / 3 * 3;
  const std::string circle =
      R"({"flatNode":[{"type":"sketch","id":"s","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],)"
      R"("geometries":[{"type":"circle","center":{"x":0,"y":0},"radius":10}]},)"
      R"({"type":"extrude","id":"e","sketchId":"s","n1Height":20}]})";
  std::istringstream in(
      Packet("transferSingle", circle, "json") +
      Packet("transferLargeStart", R"({"name":"box.step","size":2})", "base64") +
      Packet("transferLargeData",
             R"({"name":"box.step","index":0,"data":")" + Base64(bytes.substr(0, half)) + "\"}",
             "base64") +
      Packet("transferLargeData",
             R"({"name":"box.step","index":1,"data":")" + Base64(bytes.substr(half)) + "\"}",
             "base64") +
      Packet("transferLargeEnd", R"({"name":"box.step"})", "base64"));
  std::ostringstream out;
  const std::string exportDir = dir_ + "/out";
  EXPECT_EQ(ReplaySession(in, out, exportDir), 0u) << out.str();
  EXPECT_NE(out.str().find("\"kind\":\"Completed\",\"command\":\"transferLargeEnd\""),
            std::string::npos);
  // Read back what the session exported: the pad and the pasted box, each as a body.
  occt_host::StepContent content;
  std::string error;
  ASSERT_TRUE(occt_host::readStepFile(exportDir + "/Part1.step", content, error)) << error;
  ASSERT_EQ(content.roots.size(), 2u);
  GProp_GProps pad, box;
  BRepGProp::VolumeProperties(content.roots[0].solids[0].shape, pad);
  BRepGProp::VolumeProperties(content.roots[1].solids[0].shape, box);
  EXPECT_NEAR(pad.Mass(), M_PI * 100.0 * 20.0, 1e-3);  // pi * 10^2 * 20
  EXPECT_NEAR(box.Mass(), 6000.0, 1e-6);               // 10 * 20 * 30
  EXPECT_EQ(content.roots[1].name, "Bracket");
}

}  // namespace
}  // namespace vantrel::testing
