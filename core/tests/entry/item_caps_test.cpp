// What one item may ask of the kernel is bounded; beyond the bounds the item fails or
// the geometry is refused with a clear text, and the rest of the part is built.
#include <string>

#include "entry_fixture.h"
#include "occt_host/kernel/inspect.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string circleSketch(const std::string& id, double z, const std::string& r) {
  return "{\"type\":\"sketch\",\"id\":\"" + id + "\",\"matrix\":[1,0,0,0,0,1,0,0,0,0,1,0,0,0," +
         std::to_string(z) +
         ",1],\"geometries\":[{\"type\":\"circle\",\"center\":{\"x\":0,\"y\":0},\"radius\":" + r +
         "}]}";
}

std::string pad(const std::string& id, const std::string& sketch, const std::string& height) {
  return "{\"type\":\"extrude\",\"id\":\"" + id + "\",\"sketchId\":\"" + sketch +
         "\",\"n1Height\":" + height + "}";
}

TEST_F(EntryTest, ExtrudeBeyondAKilometreFailsItsItemOnly) {
  const std::string json = "{\"flatNode\":[" + circleSketch("s1", 0, "10") + "," +
                           pad("e1", "s1", "10") + "," + circleSketch("s2", 10, "5") + "," +
                           pad("e2", "s2", "2000000") + "]}";
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(draw(json), 2);
  std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(result.errorCode, 500);
  EXPECT_STREQ(result.message, "One or more features failed to update.");
  EXPECT_NE(out.find("beyond the 1e6 mm an extrusion may reach"), std::string::npos) << out;
  // Only the first pad: pi * 10^2 * 10.
  EXPECT_REL_NEAR(occt_host::partVolume(document), kPi * 1000.0, 1e-6);
}

TEST_F(EntryTest, RadiusBelowAMillionthOfAMillimetreIsRefused) {
  const std::string json =
      "{\"flatNode\":[" + circleSketch("s1", 0, "5e-7") + "," + pad("e1", "s1", "10") + "]}";
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(draw(json), 2);
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("error: circle geometry radius below 1e-6 mm"), std::string::npos) << err;
  EXPECT_EQ(occt_host::partVolume(document), 0.0);
}

}  // namespace
