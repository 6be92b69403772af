#include <gtest/gtest.h>

#include <IFSelect_ReturnStatus.hxx>
#include <Quantity_Color.hxx>
#include <STEPCAFControl_Reader.hxx>
#include <TCollection_AsciiString.hxx>
#include <TDF_LabelSequence.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "occt_host/exchange/step_export.h"
#include "part_fixture.h"

namespace occt_host::testing {
namespace {

constexpr double kPi = 3.14159265358979323846;

class StepExportTest : public PartFixture {
 protected:
  void TearDown() override { std::filesystem::remove(path); }

  // Reads the file back with the kernel's own STEP reader, independent of the writer.
  Handle(TDocStd_Document) readBack() {
    Handle(TDocStd_Document) doc = new TDocStd_Document("MDTV-XCAF");
    XCAFApp_Application::GetApplication()->InitDocument(doc);
    STEPCAFControl_Reader reader;
    reader.SetNameMode(true);
    reader.SetColorMode(true);
    EXPECT_EQ(reader.ReadFile(path.c_str()), IFSelect_RetDone);
    EXPECT_TRUE(reader.Transfer(doc));
    return doc;
  }

  std::string path = (std::filesystem::temp_directory_path() /
                      ("occt_host_export_" + std::to_string(::getpid()) + ".step"))
                         .string();
};

TEST_F(StepExportTest, BodyKeepsVolumeNameAndColour) {
  pad(sketchWithCircles({{0, 0, 300}}), 500, 0);
  auto body = part->mainBody();
  host::query<host::Alias>(body)->setAlias("Cylinder");
  host::query<host::VisProperties>(body)->setColor({200, 100, 50});

  std::string error;
  ::testing::internal::CaptureStdout();
  bool written = exportStep(document, path, &error);
  std::string printed = ::testing::internal::GetCapturedStdout();
  ASSERT_TRUE(written) << error;
  EXPECT_EQ(printed, "");

  Handle(TDocStd_Document) doc = readBack();
  Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(doc->Main());
  TDF_LabelSequence free;
  shapes->GetFreeShapes(free);
  ASSERT_EQ(free.Length(), 1);
  TDF_Label label = free.Value(1);

  // pi * 300^2 * 500
  double expected = kPi * 300.0 * 300.0 * 500.0;
  EXPECT_NEAR(volume(XCAFDoc_ShapeTool::GetShape(label)), expected, expected * 1e-6);

  Handle(TDataStd_Name) name;
  ASSERT_TRUE(label.FindAttribute(TDataStd_Name::GetID(), name));
  EXPECT_EQ(TCollection_AsciiString(name->Get()).ToCString(), std::string("Cylinder"));

  Handle(XCAFDoc_ColorTool) colors = XCAFDoc_DocumentTool::ColorTool(doc->Main());
  Quantity_Color color;
  bool found =
      colors->GetColor(label, XCAFDoc_ColorGen, color) ||
      colors->GetColor(label, XCAFDoc_ColorSurf, color) ||
      colors->GetInstanceColor(XCAFDoc_ShapeTool::GetShape(label), XCAFDoc_ColorSurf, color);
  ASSERT_TRUE(found);
  Standard_Real r, g, b;
  color.Values(r, g, b, Quantity_TOC_sRGB);
  EXPECT_EQ(std::lround(r * 255), 200);
  EXPECT_EQ(std::lround(g * 255), 100);
  EXPECT_EQ(std::lround(b * 255), 50);
}

TEST_F(StepExportTest, EveryBodyWithASolidIsOneShape) {
  pad(sketchWithCircles({{0, 0, 10}, {40, 0, 10}}), 10, 0);
  ASSERT_TRUE(exportStep(document, path, nullptr));
  // The labels live only as long as their document.
  Handle(TDocStd_Document) doc = readBack();
  TDF_LabelSequence free;
  XCAFDoc_DocumentTool::ShapeTool(doc->Main())->GetFreeShapes(free);
  ASSERT_EQ(free.Length(), 1);
  double expected = 2 * kPi * 1000.0;
  EXPECT_NEAR(volume(XCAFDoc_ShapeTool::GetShape(free.Value(1))), expected, expected * 1e-6);
}

TEST_F(StepExportTest, DocumentWithoutAPartIsRefused) {
  std::string error;
  EXPECT_FALSE(exportStep(session.newDocument("Product"), path, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(exportStep(nullptr, path, &error));
}

TEST_F(StepExportTest, PartWithoutSolidIsRefused) {
  std::string error;
  EXPECT_FALSE(exportStep(document, path, &error));
  EXPECT_NE(error.find("no solid"), std::string::npos) << error;
  // A failed export leaves no empty file that could pass for a result...
  EXPECT_FALSE(std::filesystem::exists(path));
  // ...and does not touch a file that was there before.
  std::FILE* earlier = std::fopen(path.c_str(), "w");
  ASSERT_TRUE(earlier);
  std::fputs("earlier result", earlier);
  std::fclose(earlier);
  EXPECT_FALSE(exportStep(document, path, &error));
  EXPECT_EQ(std::filesystem::file_size(path), 14u);
}

TEST_F(StepExportTest, UnwritablePathIsAnErrorWithTheSystemsReason) {
  pad(sketchWithCircles({{0, 0, 10}}), 10, 0);
  std::string error;
  EXPECT_FALSE(exportStep(document, "/nonexistent-dir/x.step", &error));
  EXPECT_EQ(error, "cannot write the STEP file /nonexistent-dir/x.step: No such file or directory");
  const std::string folder = std::filesystem::temp_directory_path().string();
  EXPECT_FALSE(exportStep(document, folder, &error));
  EXPECT_EQ(error, "cannot write the STEP file " + folder + ": Is a directory");
}

}  // namespace
}  // namespace occt_host::testing
