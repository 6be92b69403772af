// Every row of the entry's failure table, reached on real host objects with one call
// made to fail by a wrapper.
#include "entry_fixture.h"
#include "host_proxies.h"

namespace {

using proxies::Fault;

struct FailureRow {
  const char* label;
  Fault fault;
  bool clear;
  int code;
  const char* message;
};

void PrintTo(const FailureRow& row, std::ostream* os) {
  *os << row.label;
}

class EntryFailureTest : public EntryTest, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(EntryFailureTest, ReportsTheRowsCodeAndMessage) {
  const FailureRow& row = GetParam();
  auto wrapped = proxies::wrapDocument(document, row.fault);
  MardelImportOptions options = defaults();
  options.clearPart = row.clear ? 1 : 0;
  EXPECT_EQ(drawInto(wrapped.get(), "{}", &options), 2);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.errorCode, row.code);
  EXPECT_STREQ(result.message, row.message);
  EXPECT_EQ(result.createdCount, 0u);
  // A failed cylinder leaves what it created; once the real pad exists it computes.
  if (row.fault != Fault::PadUpdateFails && row.fault != Fault::NoPadInterface) {
    EXPECT_EQ(exported().solids, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    FailureTable, EntryFailureTest,
    ::testing::Values(
        FailureRow{"NoDocumentRootsCleared", Fault::NoDocumentRoots, true, 200,
                   "CATDocument does not implement CATInit."},
        FailureRow{"NoPartCleared", Fault::NoPart, true, 200, "CATIPrtPart not found."},
        FailureRow{"NoPart", Fault::NoPart, false, 200, "CATIPrtPart not found."},
        FailureRow{"NoDescendantsCleared", Fault::NoDescendants, true, 100,
                   "CATIDescendants not available for Part clearing."},
        FailureRow{"NoSketchFactory", Fault::NoSketchFactory, false, 300,
                   "CATISketchFactory not found."},
        FailureRow{"SketchNotCreated", Fault::SketchNotCreated, false, 300, "CreateSketch failed."},
        FailureRow{"NoFactory2D", Fault::NoFactory2D, false, 300, "CATI2DWFFactory not found."},
        FailureRow{"CircleNotCreated", Fault::CircleNotCreated, false, 300, "CreateCircle failed."},
        FailureRow{"NoPartFactory", Fault::NoPartFactory, false, 400, "CATIPrtFactory not found."},
        FailureRow{"PadNotCreated", Fault::PadNotCreated, false, 400, "CreatePad failed."},
        FailureRow{"NoPadInterface", Fault::NoPadInterface, false, 400, "CATIPad not found."},
        FailureRow{"PadUpdateFails", Fault::PadUpdateFails, false, 500,
                   "Fixed cylinder update failed."}),
    [](const ::testing::TestParamInfo<FailureRow>& info) { return std::string(info.param.label); });

TEST_F(EntryTest, DocumentWithoutAPartFailsWithCode200) {
  auto product = session.newDocument("Product");
  EXPECT_EQ(drawInto(product.get(), "{}"), 2);
  EXPECT_EQ(result.errorCode, 200);
  EXPECT_STREQ(result.message, "CATIPrtContainer not found.");
  auto drawing = session.newDocument("Drawing");
  EXPECT_EQ(drawInto(drawing.get(), ""), 2);
  EXPECT_STREQ(result.message, "CATIPrtContainer not found.");
}

TEST_F(EntryTest, InfiniteSizesGetTheDefaultCylinder) {
  MardelImportOptions options = defaults();
  options.height = INFINITY;
  options.radius = INFINITY;
  EXPECT_EQ(draw("{}", &options), 1);
  EXPECT_REL_NEAR(exported().volume, cylinderVolume(300, 500), 1e-6);
}

// A host that cannot make the sketch at all fails the sketch item (its log line stays)
// instead of counting it as built; the extrude that needs it is not written.
TEST_F(EntryTest, SketchTheHostRefusesFailsItsItem) {
  auto wrapped = proxies::wrapDocument(document, Fault::SketchNotCreated);
  const std::string json = R"({"flatNode": [
    {"type": "sketch", "id": "s1", "geometries": [{"type": "circle", "radius": 5,
     "center": {"x": 0, "y": 0}}]},
    {"type": "extrude", "id": "e1", "sketchId": "s1", "n1Height": 10}]})";
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(drawInto(wrapped.get(), json), 2);
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("CreateSketch 失败"), std::string::npos) << err;
  EXPECT_EQ(result.errorCode, 500);
  EXPECT_STREQ(result.message, "One or more features failed to update.");
  EXPECT_EQ(exported().solids, 0);
}

}  // namespace
