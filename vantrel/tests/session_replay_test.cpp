#include "vantrel/session_replay.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "platform/debug_output.h"
#include "platform/environment.h"
#include "platform/temp_files.h"

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

}  // namespace
}  // namespace vantrel::testing
