#include "exchange/xde_bodies.h"

#include <vector>

#include <Quantity_Color.hxx>
#include <TCollection_ExtendedString.hxx>
#include <TDF_Label.hxx>
#include <TDataStd_Name.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>
#include <XCAFDoc_VisMaterial.hxx>
#include <XCAFDoc_VisMaterialPBR.hxx>
#include <XCAFDoc_VisMaterialTool.hxx>

#include <BRep_Builder.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Iterator.hxx>

#include <map>
#include <tuple>

#include "exchange/step_write_order.h"
#include "occt_host/model/solid_feature.h"
#include "occt_host/topology/face_colours.h"

namespace occt_host {
namespace {

// Colours are stored as the display values a user picked, that is sRGB.
Quantity_Color kernelColor(const host::Color& c) {
  return Quantity_Color(c.r / 255.0, c.g / 255.0, c.b / 255.0, Quantity_TOC_sRGB);
}

// Each face that a coloured feature made carries that feature's colour; the other faces
// show the body's colour, set on the whole shape.
void colourFeatureFaces(const TDF_Label& label, Body& body,
                        const Handle(XCAFDoc_ShapeTool) & shapes,
                        const Handle(XCAFDoc_ColorTool) & colors) {
  for (const auto& [color, faces] : colouredFaces(body)) {
    const Quantity_Color kernel = kernelColor(color);
    for (int i = 1; i <= faces.Extent(); ++i) {
      TDF_Label face = shapes->AddSubShape(label, faces(i));
      if (!face.IsNull()) colors->SetColor(face, kernel, XCAFDoc_ColorSurf);
    }
  }
}

using Rgb = std::tuple<int, int, int>;

// The faces of each colour other than the body's, the rest in `plain`.
std::map<Rgb, TopoDS_Compound> facesByColour(Body& body, TopoDS_Compound& plain) {
  BRep_Builder builder;
  TopTools_IndexedMapOfShape coloured;
  std::map<Rgb, TopoDS_Compound> groups;
  for (const auto& [face, c] : faceColours(body)) {
    coloured.Add(face);
    auto [group, added] = groups.try_emplace(Rgb{c.r, c.g, c.b});
    if (added) builder.MakeCompound(group->second);
    builder.Add(group->second, face);
  }
  builder.MakeCompound(plain);
  for (TopExp_Explorer e(body.solid(), TopAbs_FACE); e.More(); e.Next()) {
    if (!coloured.Contains(e.Current())) builder.Add(plain, e.Current());
  }
  return groups;
}

// The colour a body shows where no coloured feature made the face: its own, else that of
// its first coloured solid feature, as the 3D view paints it.
bool shownBodyColour(Body& body, host::Color& out) {
  if (body.color(out)) return true;
  for (const auto& node : body.childNodes()) {
    if (std::dynamic_pointer_cast<SolidFeature>(node) && node->color(out)) return true;
  }
  return false;
}

// Colours for the mesh writers: each colour also as a dielectric material (metallic 0,
// roughness 0.5), since a glTF material without a metallic factor is fully metallic and
// viewers without an environment map show it nearly black.
class MeshPaint {
 public:
  explicit MeshPaint(const Handle(TDocStd_Document) & xde)
      : colors_(XCAFDoc_DocumentTool::ColorTool(xde->Main())),
        materials_(XCAFDoc_DocumentTool::VisMaterialTool(xde->Main())) {}
  void general(const TDF_Label& label, const host::Color& c) {
    colors_->SetColor(label, kernelColor(c), XCAFDoc_ColorGen);
    materials_->SetShapeMaterial(label, material(c));
  }
  void surface(const TDF_Label& label, const host::Color& c) {
    colors_->SetColor(label, kernelColor(c), XCAFDoc_ColorSurf);
    materials_->SetShapeMaterial(label, material(c));
  }

 private:
  TDF_Label material(const host::Color& c) {
    const Rgb key{c.r, c.g, c.b};
    auto found = made_.find(key);
    if (found != made_.end()) return found->second;
    Handle(XCAFDoc_VisMaterial) m = new XCAFDoc_VisMaterial();
    XCAFDoc_VisMaterialPBR pbr;
    pbr.IsDefined = true;
    pbr.BaseColor = Quantity_ColorRGBA(kernelColor(c), 1.0f);
    pbr.Metallic = 0.0f;
    pbr.Roughness = 0.5f;
    m->SetPbrMaterial(pbr);
    m->SetFaceCulling(Graphic3d_TypeOfBackfacingModel_DoubleSided);
    const std::string name =
        "rgb_" + std::to_string(c.r) + "_" + std::to_string(c.g) + "_" + std::to_string(c.b);
    TDF_Label label = materials_->AddMaterial(m, TCollection_AsciiString(name.c_str()));
    made_.emplace(key, label);
    return label;
  }
  Handle(XCAFDoc_ColorTool) colors_;
  Handle(XCAFDoc_VisMaterialTool) materials_;
  std::map<Rgb, TDF_Label> made_;
};

}  // namespace

Handle(TDocStd_Document) newXdeDocument() {
  Handle(TDocStd_Document) xde = new TDocStd_Document("MDTV-XCAF");
  XCAFApp_Application::GetApplication()->InitDocument(xde);
  return xde;
}

bool addBodyToXde(const Handle(TDocStd_Document) & xde, Body& body, XdeUse use) {
  TopoDS_Shape solid = body.solid();
  if (solid.IsNull()) return false;
  if (use == XdeUse::StepWriter) solid = inStepWriteOrder(solid);
  Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(xde->Main());
  Handle(XCAFDoc_ColorTool) colors = XCAFDoc_DocumentTool::ColorTool(xde->Main());
  TDF_Label label = shapes->AddShape(solid, /*makeAssembly=*/false);
  TDataStd_Name::Set(label, TCollection_ExtendedString(body.displayName().c_str(), true));
  host::Color color;
  if (body.color(color)) colors->SetColor(label, kernelColor(color), XCAFDoc_ColorGen);
  colourFeatureFaces(label, body, shapes, colors);
  return true;
}

TDF_Label addBodyFacesToXde(const Handle(TDocStd_Document) & xde, Body& body) {
  if (body.solid().IsNull()) return TDF_Label();
  TopoDS_Compound plain;
  std::map<Rgb, TopoDS_Compound> groups = facesByColour(body, plain);
  TopoDS_Compound all;
  BRep_Builder builder;
  builder.MakeCompound(all);
  builder.Add(all, plain);
  for (const auto& entry : groups) builder.Add(all, entry.second);
  Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(xde->Main());
  TDF_Label label = shapes->AddShape(all, /*makeAssembly=*/false);
  TDataStd_Name::Set(label, TCollection_ExtendedString(body.displayName().c_str(), true));
  MeshPaint paint(xde);
  host::Color color;
  if (shownBodyColour(body, color)) {
    paint.general(label, color);
    // The faces no coloured feature made show the body's colour, as in the 3D view.
    TDF_Label rest =
        TopoDS_Iterator(plain).More() ? shapes->AddSubShape(label, plain) : TDF_Label();
    if (!rest.IsNull()) paint.surface(rest, color);
  }
  for (const auto& [rgb, faces] : groups) {
    const auto [r, g, b] = rgb;
    TDF_Label group = shapes->AddSubShape(label, faces);
    if (!group.IsNull()) paint.surface(group, {r, g, b});
  }
  return label;
}

}  // namespace occt_host
