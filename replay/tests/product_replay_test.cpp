// A product payload replayed in a session: the source parts become Part files in one new
// folder, the Product gets an instance per entry, and the export is one assembly STEP file.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "assembly_measure.h"
#include "platform/debug_output.h"
#include "platform/environment.h"
#include "platform/process.h"
#include "platform/temp_files.h"
#include "replay/session_replay.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

// This process's Part folders under the temporary folder.
std::vector<fs::path> PartFolders() {
  std::vector<fs::path> out;
  const fs::path parent = fs::path(*platform::TempPath()) / "TolvaneProductParts";
  const std::string mine = std::to_string(platform::ProcessId()) + "-";
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(parent, ignored))
    if (entry.path().filename().string().rfind(mine, 0) == 0) out.push_back(entry.path());
  return out;
}

TEST(ProductReplayTest, ThreeSourcePartsFourInstancesOneAssemblyStep) {
  platform::SetDebugOutputEnabled(false);
  ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", KESTRUN_MODULE_PATH));
  const std::string dir =
      platform::CreateUniqueTempDirectory(*platform::TempPath(), "product-replay-").value();
  for (const auto& f : PartFolders()) fs::remove_all(f);

  std::ifstream in(VANTREL_TEST_DATA "/product_session.jsonl");
  std::ostringstream out;
  EXPECT_EQ(ReplaySession(in, out, dir), 0u);
  const std::string lines = out.str();
  EXPECT_NE(lines.find("{\"document\":\"Product1\",\"kind\":\"Product\",\"step\":\"" + dir +
                       "/Product1.step\",\"lastDraw\":{\"status\":0,\"resultStatus\":0,"
                       "\"errorCode\":0,\"createdCount\":4,\"message\":\"Product JSON imported.\""),
            std::string::npos)
      << lines;

  auto folders = PartFolders();
  ASSERT_EQ(folders.size(), 1u);
  for (const char* name : {"0.CATPart", "1.CATPart", "2.CATPart"})
    EXPECT_TRUE(fs::is_regular_file(folders[0] / name)) << name;
  EXPECT_FALSE(fs::exists(folders[0] / "3.CATPart"));

  AssemblyMeasure m = measureAssembly(dir + "/Product1.step");
  ASSERT_TRUE(m.read);
  EXPECT_EQ(m.rootName, "Pin stand");
  ASSERT_EQ(m.instances.size(), 4u);
  ASSERT_TRUE(m.find("Base plate") && m.find("Pin left") && m.find("Pin right") && m.find("Cap"));
  EXPECT_NEAR(m.find("Pin right")->x, 80, 1e-9);
  EXPECT_NEAR(m.find("Pin right")->zmax, 50, 1e-6);  // 10 mm plate + 40 mm pin
  EXPECT_NEAR(m.find("Cap")->xmin, 42, 1e-6);        // radius 8 about x = 50
  // 100·60·10 + 2·π·5²·40 + π·8²·5 = 60000 + 2000π + 320π mm³.
  const double expected = 60000 + 2320 * M_PI;
  EXPECT_NEAR(m.totalVolume(), expected, expected * 1e-6);

  std::error_code ignored;
  fs::remove_all(dir, ignored);
  for (const auto& f : folders) fs::remove_all(f, ignored);
  platform::UnsetEnv("TOLVANE_MARDEL_CORE_DLL");
  platform::SetDebugOutputEnabled(true);
}

}  // namespace
}  // namespace vantrel::testing
