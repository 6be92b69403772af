// The bundled examples, drawn through the entry and measured on their STEP export.
#include <fstream>
#include <sstream>

#include "entry_fixture.h"

namespace {

std::string example(const char* name) {
  std::ifstream in(std::string(KESTRUN_EXAMPLES) + "/" + name, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

TEST_F(EntryTest, FlangedBracketWithBoresAndAPocket) {
  EXPECT_EQ(draw(example("flanged_bracket.json")), 0) << result.message;
  EXPECT_EQ(result.createdCount, 18u);
  // Base 120*80*10 = 96000, upright 120*10*70 = 84000, sharing 120*10*10 = 12000;
  // four base bores pi*5^2*10 = 250 pi each, two upright bores pi*6^2*10 = 360 pi each;
  // the 40 x 20 pocket is 4 deep plus the 1 mm overshoot: 40*20*5 = 4000.
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, 168000 - 1000 * M_PI - 720 * M_PI - 4000, 1e-6);
  EXPECT_NEAR(m.zmax, 70, 1e-3);
}

TEST_F(EntryTest, KnobWhoseShaftBodyIsMergedLater) {
  EXPECT_EQ(draw(example("knob_merged_body.json")), 0) << result.message;
  // Disc pi*30^2*10 = 9000 pi, shaft pi*10^2*40 = 4000 pi sharing 1000 pi with the disc,
  // handle 30*6*5 = 900: one body of 12000 pi + 900.
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, 12000 * M_PI + 900, 1e-6);
}

TEST_F(EntryTest, RoundedBlockIsTheCommonOfTwoExtrusions) {
  EXPECT_EQ(draw(example("rounded_block_common.json")), 0) << result.message;
  // A circle of radius 25 clipped by the 40 x 40 square it is centred in: four
  // segments of 625 acos(0.8) - 20*15 each are cut off; 40 high.
  const double segment = 625 * std::acos(0.8) - 300;
  EXPECT_REL_NEAR(exported().volume, 40 * (625 * M_PI - 4 * segment), 1e-6);
}

TEST_F(EntryTest, TurnedSpindleWithAGroove) {
  EXPECT_EQ(draw(example("turned_spindle.json")), 0) << result.message;
  // Collar pi*20^2*10 = 4000 pi and stem pi*8^2*50 = 3200 pi, turned about z; the groove
  // profile (radius 6..9, z 30..34) takes pi*(8^2 - 6^2)*4 = 112 pi from the stem.
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, 7088 * M_PI, 1e-6);
  EXPECT_NEAR(m.zmax, 60, 1e-3);
}

TEST_F(EntryTest, PipeElbowSweptAlongLinesAndAnArc) {
  EXPECT_EQ(draw(example("pipe_elbow.json")), 0) << result.message;
  // A tube of radii 6 and 4 along 40 + 30*pi/2 + 40 (Pappus): pi*(36 - 16)*(80 + 15 pi).
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, 20 * M_PI * (80 + 15 * M_PI), 1e-3);
  EXPECT_NEAR(m.xmax, 76, 1e-2);
  EXPECT_NEAR(m.ymax, 70, 1e-2);
}

TEST_F(EntryTest, BoltFlangeWithAHoleCircle) {
  EXPECT_EQ(draw(example("bolt_flange.json")), 0) << result.message;
  // Disc pi*50^2*10 = 25000 pi and hub pi*15^2*20 = 4500 pi; six bolt holes of diameter 8
  // through the disc, pi*4^2*10 = 160 pi each: 29500 pi - 960 pi = 28540 pi.
  StepMeasure m = exported();
  EXPECT_EQ(m.solids, 1);
  EXPECT_REL_NEAR(m.volume, 28540 * M_PI, 1e-6);
  EXPECT_NEAR(m.zmax, 30, 1e-3);
}

}  // namespace
