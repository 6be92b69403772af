// The malformed topology descriptors of the part-import fuzz corpus, drawn through the
// entry: each item fails, warns or builds, and the plate they start from stays valid.
#include <BRepCheck_Analyzer.hxx>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "entry_fixture.h"
#include "host/part.h"
#include "occt_host/inspect.h"

namespace {

class TopoCorpusTest : public EntryTest {};

TEST_F(TopoCorpusTest, MalformedDescriptorsNeverCrashAndLeaveAValidSolid) {
  const std::filesystem::path folder =
      std::filesystem::path(KESTRUN_EXAMPLES) / ".." / "fuzz" / "corpus" / "draw_json";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("topo_", 0) != 0) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    ::testing::internal::CaptureStdout();
    int32_t status = draw(text.str());
    std::string log = ::testing::internal::GetCapturedStdout();
    ++files;
    EXPECT_TRUE(status >= 0 && status <= 2) << name << ": " << result.message;
    auto roots = document->query<host::DocumentRoots>();
    auto part = host::query<host::PartContainer>(roots->rootContainer("CATIPrtContainer"))->part();
    TopoDS_Shape solid = occt_host::solidOf(part);
    ASSERT_FALSE(solid.IsNull()) << name;
    EXPECT_TRUE(BRepCheck_Analyzer(solid).IsValid()) << name;
  }
  EXPECT_GE(files, 10);
}

}  // namespace
