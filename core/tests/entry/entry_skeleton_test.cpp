// The fallback cylinder, mode detection and option corrections, measured on STEP.
#include <cstring>

#include "entry_fixture.h"

namespace {

constexpr const char* kEmptyNote =
    "jsonBytes/jsonSize are empty; skeleton import draws the fixed cylinder anyway.";
constexpr const char* kNoModeNote =
    "Unable to auto-detect JSON mode; skeleton import draws the fixed cylinder.";

// pi * 300^2 * 500 = 141,371,669.41 mm^3
const double kDefaultCylinder = M_PI * 300.0 * 300.0 * 500.0;

TEST_F(EntryTest, EmptyInputDrawsTheFixedCylinder) {
  EXPECT_EQ(MardelImport_DrawJson(document.get(), nullptr, 0, nullptr, &result), 1);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.errorCode, 0);
  EXPECT_EQ(result.hasWarnings, 1);
  EXPECT_EQ(result.createdCount, 2u);
  EXPECT_STREQ(result.message, "Fixed cylinder created.");
  EXPECT_STREQ(result.warning, kEmptyNote);

  StepMeasure m = exported();
  ASSERT_TRUE(m.read);
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, kDefaultCylinder, 1e-6);
  // Radius 300 around the Z axis, standing on the XY plane up to z = 500.
  EXPECT_NEAR(m.xmin, -300, 1e-3);
  EXPECT_NEAR(m.xmax, 300, 1e-3);
  EXPECT_NEAR(m.zmin, 0, 1e-3);
  EXPECT_NEAR(m.zmax, 500, 1e-3);
}

TEST_F(EntryTest, NonNullBytesWithZeroSizeAreEmptyToo) {
  const unsigned char bytes[] = "{\"mode\": \"part\"}";
  EXPECT_EQ(MardelImport_DrawJson(document.get(), bytes, 0, nullptr, &result), 1);
  EXPECT_STREQ(result.warning, kEmptyNote);
}

TEST_F(EntryTest, EmptyObjectFindsNoModeAndDrawsTheCylinder) {
  EXPECT_EQ(draw("{}"), 1);
  EXPECT_EQ(result.hasWarnings, 1);
  EXPECT_EQ(result.createdCount, 2u);
  EXPECT_STREQ(result.message, "Fixed cylinder created.");
  EXPECT_STREQ(result.warning, kNoModeNote);
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, kDefaultCylinder, 1e-6);
}

TEST_F(EntryTest, ModeNamesAreCaseSensitive) {
  EXPECT_EQ(draw(R"({"mode": "Part"})"), 1);
  EXPECT_STREQ(result.warning, kNoModeNote);
  EXPECT_STREQ(result.message, "Fixed cylinder created.");
}

TEST_F(EntryTest, AmbiguousShapeFallsBackToTheCylinder) {
  EXPECT_EQ(draw(R"({"flatNode": [], "partList": []})"), 1);
  EXPECT_STREQ(result.warning, kNoModeNote);
}

TEST_F(EntryTest, InvalidOptionsAreCorrectedToTheDefaults) {
  MardelImportOptions options = defaults();
  options.radius = -5;
  options.height = 0;
  options.mode = 7;
  EXPECT_EQ(draw("{}", &options), 1);
  EXPECT_REL_NEAR(exported().volume, kDefaultCylinder, 1e-6);
}

TEST_F(EntryTest, NanOptionsAreCorrectedToTheDefaults) {
  MardelImportOptions options = defaults();
  options.radius = std::nan("");
  options.height = std::nan("");
  EXPECT_EQ(draw("{}", &options), 1);
  EXPECT_REL_NEAR(exported().volume, kDefaultCylinder, 1e-6);
}

TEST_F(EntryTest, RadiusAndHeightOptionsShapeTheCylinder) {
  MardelImportOptions options = defaults();
  options.radius = 10;
  options.height = 20;
  EXPECT_EQ(draw("{}", &options), 1);
  StepMeasure m = exported();
  // pi * 10^2 * 20 = 6283.185 mm^3
  EXPECT_REL_NEAR(m.volume, M_PI * 100.0 * 20.0, 1e-6);
  EXPECT_NEAR(m.zmax, 20, 1e-3);
}

TEST_F(EntryTest, ByteOrderMarkIsSkipped) {
  EXPECT_EQ(draw("\xEF\xBB\xBF{}"), 1);
  EXPECT_STREQ(result.warning, kNoModeNote);
  // A partial mark is skipped as well.
  EXPECT_EQ(draw("\xEF\xBB{}"), 1);
  EXPECT_STREQ(result.warning, kNoModeNote);
}

TEST_F(EntryTest, NullResultRecordStillDrawsAndReturnsTheStatus) {
  const std::string json = "{}";
  EXPECT_EQ(
      MardelImport_DrawJson(document.get(), reinterpret_cast<const unsigned char*>(json.data()),
                            json.size(), nullptr, nullptr),
      1);
  EXPECT_REL_NEAR(exported().volume, kDefaultCylinder, 1e-6);
  EXPECT_EQ(MardelImport_DrawJson(nullptr, nullptr, 0, nullptr, nullptr), 2);
}

TEST_F(EntryTest, DecoratedEntryForwardsToTheDrawingEntry) {
  EXPECT_EQ(wenlow::ImportJsonToCatia(document.get(), nullptr, 0, nullptr, &result), 1);
  EXPECT_STREQ(result.message, "Fixed cylinder created.");
}

TEST_F(EntryTest, MissingDocumentIsRefused) {
  EXPECT_EQ(drawInto(nullptr, "{}"), 2);
  EXPECT_EQ(result.errorCode, 100);
  EXPECT_STREQ(result.message, "drawingDocument is required.");
}

TEST_F(EntryTest, ClearingRemovesEarlierContentBeforeTheSkeleton) {
  MardelImportOptions small = defaults();
  small.radius = 50;
  small.height = 100;
  ASSERT_EQ(draw("{}"), 1);
  ASSERT_EQ(draw("{}", &small), 1);
  // Only the second cylinder remains: pi * 50^2 * 100.
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, M_PI * 2500.0 * 100.0, 1e-6);
}

TEST_F(EntryTest, WithoutClearingTheCylindersAccumulate) {
  MardelImportOptions wide = defaults();
  wide.radius = 400;
  wide.height = 100;
  wide.clearPart = 0;
  ASSERT_EQ(draw("{}"), 1);
  ASSERT_EQ(draw("{}", &wide), 1);
  // Union of r300 h500 and r400 h100 on the same axis:
  // pi*400^2*100 + pi*300^2*400 = pi*(16e6 + 36e6) = pi*52e6.
  EXPECT_REL_NEAR(exported().volume, M_PI * 52e6, 1e-6);
}

TEST_F(EntryTest, ClearingNoteShowsWhenNoEarlierWarningWasRecorded) {
  ASSERT_EQ(draw("{}"), 1);
  // An empty item list imports nothing; the clearing note fills the empty warning
  // without raising the status.
  EXPECT_EQ(draw("[]"), 0);
  EXPECT_STREQ(result.message, "Part JSON imported.");
  EXPECT_STREQ(result.warning, "Existing Part content cleared before import.");
  EXPECT_EQ(result.hasWarnings, 0);
  EXPECT_EQ(exported().solids, 0);
}

}  // namespace
