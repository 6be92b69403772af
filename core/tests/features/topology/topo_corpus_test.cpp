// The malformed topology descriptors of the part-import fuzz corpus, drawn through the
// entry: each file gives its own status and solid, and the plate they start from stays valid.
#include <BRepCheck_Analyzer.hxx>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "entry_fixture.h"
#include "host/part.h"
#include "occt_host/kernel/inspect.h"

namespace {

class TopoCorpusTest : public EntryTest {};

// Every file starts from the same 100 x 100 x 10 plate.
constexpr double kPlate = 100.0 * 100.0 * 10.0;  // 100000
// A closed shell 1 thick (no face named or found) leaves the plate less a 98 x 98 x 8 cavity.
constexpr double kClosedShell = kPlate - 98.0 * 98.0 * 8.0;  // 100000 - 76832 = 23168
// A 2 mm fillet along one 100 mm edge takes 100 (2^2 - pi 2^2 / 4) = 100 (4 - pi).
const double kEdgeFillet = 100.0 * (4.0 - M_PI);  // 85.84
// The closed shell after that fillet: the cavity's matching edge, 98 long, is rounded 1 mm,
// so the cavity is 98 (1 - pi / 4) smaller.
const double kFilletThenClosedShell =
    kPlate - kEdgeFillet - (98.0 * 98.0 * 8.0 - 98.0 * (1.0 - M_PI / 4.0));  // 23103.19

struct Expected {
  int32_t status;  // 0 built, 1 built with warnings, 2 a feature failed
  double volume;   // of the Part's solids afterwards
};

// What each file must give, and why.
const std::map<std::string, Expected>& expectations() {
  static const std::map<std::string, Expected> table = {
      // A negative chamfer length and shell thickness fail; the -1 fillet is skipped, warned.
      {"topo_bad_sizes.json", {2, kPlate}},
      // No curve descriptor is readable: the fillet warns and rounds nothing.
      {"topo_curve_kinds_malformed.json", {1, kPlate}},
      // Neither draft's faces can be drafted: both fail, the plate is untouched.
      {"topo_draft_shapes.json", {2, kPlate}},
      // The fillet finds no edge (a warning); the 90 degree chamfer, the 1e300 shell and the
      // -1e200 draft fail.
      {"topo_extreme_numbers.json", {2, kPlate}},
      // Points of 100 coordinates: the fillet finds no edge (a warning), the shell no face,
      // so it is closed.
      {"topo_huge_arrays.json", {1, kClosedShell}},
      // The chamfer without a type and the empty draft fail; the bare shell is closed.
      {"topo_missing_keys.json", {2, kClosedShell}},
      // Coordinates as strings: the fillet warns, the shell finds no face and is closed.
      {"topo_points_as_strings.json", {1, kClosedShell}},
      // Two coordinates read as a point at z = 0: the fillet rounds the bottom front edge
      // and the shell, whose face matches nothing, is closed.
      {"topo_two_element_points.json", {0, kFilletThenClosedShell}},
      // The descriptor naming the fillet itself is a cycle, skipped with a warning; the
      // one without a feature id finds the top front edge through its sketch.
      {"topo_unknown_and_own_ids.json", {1, kPlate - kEdgeFillet}},
      // Both fillets are skipped, warned; the chamfer fails; the shell with faces 5 is closed.
      {"topo_wrong_types.json", {2, kClosedShell}},
      // Zero direction vectors: the chamfer and the draft fail.
      {"topo_zero_vectors.json", {2, kPlate}},
  };
  return table;
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(TopoCorpusTest, MalformedDescriptorsGiveTheirStatusAndLeaveAValidSolid) {
  const std::filesystem::path folder =
      std::filesystem::path(KESTRUN_EXAMPLES) / ".." / "fuzz" / "corpus" / "draw_json";
  std::set<std::string> seen;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("topo_", 0) != 0) continue;
    seen.insert(name);
    const auto expected = expectations().find(name);
    ASSERT_NE(expected, expectations().end()) << name << " has no expected status here";
    ::testing::internal::CaptureStdout();
    const int32_t status = draw(readFile(entry.path()));
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, expected->second.status) << name << ": " << result.message;
    EXPECT_NEAR(occt_host::partVolume(document), expected->second.volume, 1e-3) << name;
    auto roots = document->query<host::DocumentRoots>();
    auto part = host::query<host::PartContainer>(roots->rootContainer("CATIPrtContainer"))->part();
    TopoDS_Shape solid = occt_host::solidOf(part);
    ASSERT_FALSE(solid.IsNull()) << name;
    EXPECT_TRUE(BRepCheck_Analyzer(solid).IsValid()) << name;
  }
  EXPECT_EQ(seen.size(), expectations().size());
}

}  // namespace
