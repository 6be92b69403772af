// A feature coloured through "bodyColors" shows that colour on the faces it made in the
// STEP file, read back face by face with the XCAF colour tool.
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
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

#include <unistd.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "entry_fixture.h"
#include "occt_host/exchange/step_export.h"

namespace {

using Rgb = std::array<long, 3>;

// The colour a face carries itself, by the centre of the face.
struct FaceColour {
  gp_Pnt centre;
  std::optional<Rgb> colour;
};

std::vector<FaceColour> readFaceColours(const std::string& path) {
  Handle(TDocStd_Document) doc = new TDocStd_Document("MDTV-XCAF");
  XCAFApp_Application::GetApplication()->InitDocument(doc);
  STEPCAFControl_Reader reader;
  reader.SetColorMode(true);
  std::vector<FaceColour> faces;
  if (reader.ReadFile(path.c_str()) != IFSelect_RetDone || !reader.Transfer(doc)) return faces;
  Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(doc->Main());
  Handle(XCAFDoc_ColorTool) colors = XCAFDoc_DocumentTool::ColorTool(doc->Main());
  TDF_LabelSequence free;
  shapes->GetFreeShapes(free);
  for (int i = 1; i <= free.Length(); ++i) {
    TopoDS_Shape shape = XCAFDoc_ShapeTool::GetShape(free.Value(i));
    for (TopExp_Explorer e(shape, TopAbs_FACE); e.More(); e.Next()) {
      GProp_GProps props;
      BRepGProp::SurfaceProperties(e.Current(), props);
      FaceColour face{props.CentreOfMass(), std::nullopt};
      Quantity_Color c;
      if (colors->GetColor(e.Current(), XCAFDoc_ColorSurf, c)) {
        Standard_Real r, g, b;
        c.Values(r, g, b, Quantity_TOC_sRGB);
        face.colour = Rgb{std::lround(r * 255), std::lround(g * 255), std::lround(b * 255)};
      }
      faces.push_back(face);
    }
  }
  return faces;
}

const FaceColour* faceAt(const std::vector<FaceColour>& faces, const gp_Pnt& centre) {
  for (const FaceColour& face : faces) {
    if (face.centre.Distance(centre) < 1e-3) return &face;
  }
  return nullptr;
}

TEST_F(EntryTest, BracketBaseShowsItsColourOnItsOwnFaces) {
  std::ifstream in(std::string(KESTRUN_EXAMPLES) + "/flanged_bracket.json", std::ios::binary);
  std::ostringstream json;
  json << in.rdbuf();
  ASSERT_EQ(draw(json.str()), 0) << result.message;
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("kestrun_colour_" + std::to_string(::getpid()) + ".step"))
                               .string();
  std::string error;
  ASSERT_TRUE(occt_host::exportStep(document, path, &error)) << error;
  std::vector<FaceColour> faces = readFaceColours(path);
  std::filesystem::remove(path);
  ASSERT_FALSE(faces.empty());

  // The base (120 x 80 x 10, coloured 70, 130, 180) alone made the back face y = 80,
  // centred at (60, 80, 5); the faces it shares a plane with the upright are merged.
  const FaceColour* back = faceAt(faces, gp_Pnt(60, 80, 5));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->colour, (Rgb{70, 130, 180}));
  // The upright (uncoloured) made its top face z = 70; the bores made their walls.
  const FaceColour* top = faceAt(faces, gp_Pnt(60, 5, 70));
  ASSERT_TRUE(top);
  EXPECT_FALSE(top->colour.has_value());
  const FaceColour* wall = faceAt(faces, gp_Pnt(20, 40, 5));
  ASSERT_TRUE(wall);
  EXPECT_FALSE(wall->colour.has_value());
}

}  // namespace
