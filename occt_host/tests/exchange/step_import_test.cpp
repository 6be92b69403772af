#include "occt_host/exchange/step_import.h"

#include <gtest/gtest.h>
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/temp_files.h"
#include "step_samples.h"

namespace occt_host {
namespace {

double volumeOf(const TopoDS_Shape& shape) {
  GProp_GProps props;
  BRepGProp::VolumeProperties(shape, props);
  return props.Mass();
}

class StepImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = platform::CreateUniqueTempDirectory(*platform::TempPath(), "step-import-").value_or("");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  std::string file(const std::string& name, const std::string& bytes) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::string dir_;
};

TEST_F(StepImportTest, KeepsNamesColoursAndVolumes) {
  const std::string path = dir_ + "/box.step";
  ASSERT_TRUE(testing::writeBoxStep(path, 10, 20, 30, "Bracket", 200, 30, 40));
  StepContent content;
  std::string error;
  ASSERT_TRUE(readStepFile(path, content, error)) << error;
  ASSERT_EQ(content.roots.size(), 1u);
  const StepRoot& root = content.roots[0];
  EXPECT_FALSE(root.assembly);
  EXPECT_EQ(root.name, "Bracket");
  ASSERT_EQ(root.solids.size(), 1u);
  EXPECT_NEAR(volumeOf(root.solids[0].shape), 6000.0, 1e-6);  // 10 * 20 * 30
  ASSERT_TRUE(root.solids[0].color.has_value());
  EXPECT_EQ(root.solids[0].color->r, 200);
  EXPECT_EQ(root.solids[0].color->g, 30);
  EXPECT_EQ(root.solids[0].color->b, 40);
}

TEST_F(StepImportTest, AssembliesKeepTheirInstancesAndPlacements) {
  const std::string path = dir_ + "/pair.step";
  ASSERT_TRUE(testing::writeAssemblyStep(path));
  StepContent content;
  std::string error;
  ASSERT_TRUE(readStepFile(path, content, error)) << error;
  ASSERT_EQ(content.roots.size(), 1u);
  const StepRoot& root = content.roots[0];
  EXPECT_TRUE(root.assembly);
  EXPECT_EQ(root.name, "Pair");
  ASSERT_EQ(root.solids.size(), 2u);
  EXPECT_EQ(root.solids[0].name, "Left");
  EXPECT_EQ(root.solids[1].name, "Right");
  // The right cube is moved by 30 along x: its centre of mass is at x = 30 + 5.
  GProp_GProps props;
  BRepGProp::VolumeProperties(root.solids[1].shape, props);
  EXPECT_NEAR(props.CentreOfMass().X(), 35.0, 1e-6);
  EXPECT_NEAR(props.Mass(), 1000.0, 1e-6);
}

TEST_F(StepImportTest, EachFreeShapeIsARoot) {
  const std::string path = dir_ + "/two.step";
  ASSERT_TRUE(testing::writeTwoRootsStep(path));
  StepContent content;
  std::string error;
  ASSERT_TRUE(readStepFile(path, content, error)) << error;
  ASSERT_EQ(content.roots.size(), 2u);
  EXPECT_EQ(content.roots[0].name, "CubeA");
  EXPECT_EQ(content.roots[1].name, "SlabB");
  EXPECT_NEAR(volumeOf(content.roots[1].solids[0].shape), 1000.0, 1e-6);  // 20 * 10 * 5
}

TEST_F(StepImportTest, HostileFilesEndWithAClearMessage) {
  StepContent content;
  std::string error;
  EXPECT_FALSE(readStepFile(dir_ + "/missing.step", content, error));
  EXPECT_EQ(error, "The STEP file does not exist or is not a file.");
  EXPECT_FALSE(readStepFile(dir_, content, error));
  EXPECT_EQ(error, "The STEP file does not exist or is not a file.");
  EXPECT_FALSE(readStepFile(file("empty.step", ""), content, error));
  EXPECT_EQ(error, "The STEP file is empty.");
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 7919) & 0xFF));
  EXPECT_FALSE(readStepFile(file("garbage.step", garbage), content, error));
  EXPECT_EQ(error, "The file is not a STEP file (it does not begin with ISO-10303-21).");
  EXPECT_TRUE(content.roots.empty());
}

TEST_F(StepImportTest, TruncatedAndHeaderOnlyFilesHoldNoSolid) {
  const std::string whole = dir_ + "/box.step";
  ASSERT_TRUE(testing::writeBoxStep(whole, 10, 10, 10, "Box", 1, 2, 3));
  std::ifstream in(whole, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  StepContent content;
  std::string error;
  for (size_t cut : {size_t{14}, text.size() / 3, text.size() / 2, text.size() - 40}) {
    const std::string path = file("cut" + std::to_string(cut) + ".step", text.substr(0, cut));
    if (!readStepFile(path, content, error)) {
      EXPECT_FALSE(error.empty());
    } else {
      // A cut that keeps every entity of the solid still reads; it must then be the whole box.
      EXPECT_NEAR(volumeOf(content.roots[0].solids[0].shape), 1000.0, 1e-6);
    }
  }
}

TEST_F(StepImportTest, FilesAboveTheLimitAreRefusedUnread) {
  // A sparse 1 GiB file: its size is refused before a byte of it is read.
  const std::string path = dir_ + "/huge.step";
  {
    std::ofstream out(path, std::ios::binary);
    out << "ISO-10303-21;\n";
  }
  ASSERT_EQ(::truncate(path.c_str(), off_t{1} << 30), 0);
  StepContent content;
  std::string error;
  EXPECT_FALSE(readStepFile(path, content, error));
  EXPECT_EQ(error, "The STEP file is larger than the 128 MiB that can be read.");
}

}  // namespace
}  // namespace occt_host
