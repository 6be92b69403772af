// Feature colours reach the STEP file on the faces each feature made; faces of features
// without a colour show the body's colour. Read back face by face with the XCAF colour tool.
#include <gtest/gtest.h>

#include <IFSelect_ReturnStatus.hxx>
#include <Quantity_Color.hxx>
#include <STEPCAFControl_Reader.hxx>
#include <TDF_LabelSequence.hxx>
#include <TDocStd_Document.hxx>
#include <TopExp_Explorer.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>

#include <array>
#include <cmath>
#include <filesystem>
#include <map>

#include "exchange/document_storage.h"
#include "occt_host/session/document.h"
#include "plate_fixture.h"

namespace occt_host::testing {
namespace {

using Rgb = std::array<long, 3>;
const Rgb kNone{-1, -1, -1};

class StepColourTest : public PlateFixture {
 protected:
  static Rgb rgb(const Quantity_Color& color) {
    Standard_Real r, g, b;
    color.Values(r, g, b, Quantity_TOC_sRGB);
    return {std::lround(r * 255), std::lround(g * 255), std::lround(b * 255)};
  }

  // Writes the document, reads it back and counts the faces of its one shape by the
  // colour each face carries itself (kNone when it has none); `shapeColour` gets the
  // colour of the shape as a whole.
  std::map<Rgb, int> facesByColour(Rgb& shapeColour) {
    std::string error;
    EXPECT_TRUE(exportStep(document, stepPath, &error)) << error;
    Handle(TDocStd_Document) doc = new TDocStd_Document("MDTV-XCAF");
    XCAFApp_Application::GetApplication()->InitDocument(doc);
    STEPCAFControl_Reader reader;
    reader.SetColorMode(true);
    EXPECT_EQ(reader.ReadFile(stepPath.c_str()), IFSelect_RetDone);
    EXPECT_TRUE(reader.Transfer(doc));
    Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(doc->Main());
    Handle(XCAFDoc_ColorTool) colors = XCAFDoc_DocumentTool::ColorTool(doc->Main());
    TDF_LabelSequence free;
    shapes->GetFreeShapes(free);
    EXPECT_EQ(free.Length(), 1);
    std::map<Rgb, int> counts;
    if (free.Length() != 1) return counts;
    Quantity_Color color;
    shapeColour = colors->GetColor(free.Value(1), XCAFDoc_ColorGen, color) ||
                          colors->GetColor(free.Value(1), XCAFDoc_ColorSurf, color)
                      ? rgb(color)
                      : kNone;
    TopoDS_Shape shape = XCAFDoc_ShapeTool::GetShape(free.Value(1));
    for (TopExp_Explorer e(shape, TopAbs_FACE); e.More(); e.Next()) {
      bool own = colors->GetColor(e.Current(), XCAFDoc_ColorSurf, color) ||
                 colors->GetColor(e.Current(), XCAFDoc_ColorGen, color);
      ++counts[own ? rgb(color) : kNone];
    }
    return counts;
  }

  static void paint(const host::SpecObjectPtr& object, host::Color color) {
    ASSERT_EQ(host::query<host::VisProperties>(object)->setColor(color), host::kOk);
  }
};

TEST_F(StepColourTest, EachFeaturesFacesCarryItsColourAndTheRestTheBodys) {
  auto plateFeature = plate();
  ASSERT_TRUE(plateFeature);
  auto boss = pad(rectangle(10, 10, 20, 30, 10), 5, 0);
  ASSERT_TRUE(boss && boss->update().ok());
  auto stud = pad(sketchWithCircles({{70, 70, 5}}, {0, 0, 10}), 3, 0);
  ASSERT_TRUE(stud && stud->update().ok());
  paint(plateFeature, {200, 30, 40});
  paint(boss, {0, 0, 255});
  paint(part->mainBody(), {0, 128, 0});

  Rgb shapeColour = kNone;
  std::map<Rgb, int> counts = facesByColour(shapeColour);
  // The plate: bottom, four sides and the top around the boss and the stud.
  EXPECT_EQ(counts[(Rgb{200, 30, 40})], 6);
  // The boss: four sides and its top; its bottom lies inside the plate.
  EXPECT_EQ(counts[(Rgb{0, 0, 255})], 5);
  // The uncoloured stud's side and top take the body's colour from the shape.
  EXPECT_EQ(counts[kNone], 2);
  EXPECT_EQ(shapeColour, (Rgb{0, 128, 0}));
}

TEST_F(StepColourTest, CutFeatureColoursTheWallsItMade) {
  auto plateFeature = plate();
  ASSERT_TRUE(plateFeature);
  auto cylinder = bore(50, 50, 5);
  ASSERT_TRUE(cylinder);
  auto remove = booleans->createRemove(plateFeature, cylinder);
  ASSERT_TRUE(remove && remove->update().ok());
  paint(cylinder, {255, 200, 0});

  Rgb shapeColour = kNone;
  std::map<Rgb, int> counts = facesByColour(shapeColour);
  // The bore's wall is the one face the cutting cylinder leaves; the plate's six faces
  // have no colour of their own, and neither has the body.
  EXPECT_EQ(counts[(Rgb{255, 200, 0})], 1);
  EXPECT_EQ(counts[kNone], 6);
  EXPECT_EQ(shapeColour, kNone);
}

// A Part saved and opened again (as an assembly's Parts are) keeps its feature colours on
// the faces, although its feature history is gone.
TEST_F(StepColourTest, StoredPartKeepsItsFaceColours) {
  auto plateFeature = plate();
  ASSERT_TRUE(plateFeature);
  auto boss = pad(rectangle(10, 10, 20, 30, 10), 5, 0);
  ASSERT_TRUE(boss && boss->update().ok());
  paint(plateFeature, {200, 30, 40});
  paint(boss, {0, 0, 255});
  paint(part->mainBody(), {0, 128, 0});
  const std::string stored = stepPath + ".CATPart";
  std::string error;
  ASSERT_EQ(savePartDocument(*std::dynamic_pointer_cast<Document>(document), stored, error),
            host::kOk)
      << error;
  auto reopened = std::dynamic_pointer_cast<Document>(session.newDocument("Part"));
  ASSERT_EQ(loadPartDocument(stored, *reopened, error), host::kOk) << error;
  std::filesystem::remove(stored);
  document = reopened;

  Rgb shapeColour = kNone;
  std::map<Rgb, int> counts = facesByColour(shapeColour);
  // As drawn: the plate's bottom, four sides and its top around the boss; the boss's four
  // sides and top; the body's colour on the shape.
  EXPECT_EQ(counts[(Rgb{200, 30, 40})], 6);
  EXPECT_EQ(counts[(Rgb{0, 0, 255})], 5);
  EXPECT_EQ(counts[kNone], 0);
  EXPECT_EQ(shapeColour, (Rgb{0, 128, 0}));
}

}  // namespace
}  // namespace occt_host::testing
