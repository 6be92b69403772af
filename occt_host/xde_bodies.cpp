#include "occt_host/xde_bodies.h"

#include <vector>

#include <Quantity_Color.hxx>
#include <TCollection_ExtendedString.hxx>
#include <TDF_Label.hxx>
#include <TDataStd_Name.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>

#include <BRep_Builder.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS_Compound.hxx>

#include <map>
#include <tuple>

#include "occt_host/face_colours.h"

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

}  // namespace

Handle(TDocStd_Document) newXdeDocument() {
  Handle(TDocStd_Document) xde = new TDocStd_Document("MDTV-XCAF");
  XCAFApp_Application::GetApplication()->InitDocument(xde);
  return xde;
}

bool addBodyToXde(const Handle(TDocStd_Document) & xde, Body& body) {
  TopoDS_Shape solid = body.solid();
  if (solid.IsNull()) return false;
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
  Handle(XCAFDoc_ColorTool) colors = XCAFDoc_DocumentTool::ColorTool(xde->Main());
  TDF_Label label = shapes->AddShape(all, /*makeAssembly=*/false);
  TDataStd_Name::Set(label, TCollection_ExtendedString(body.displayName().c_str(), true));
  host::Color color;
  if (body.color(color)) colors->SetColor(label, kernelColor(color), XCAFDoc_ColorGen);
  for (const auto& [rgb, faces] : groups) {
    const auto [r, g, b] = rgb;
    TDF_Label group = shapes->AddSubShape(label, faces);
    if (!group.IsNull()) colors->SetColor(group, kernelColor({r, g, b}), XCAFDoc_ColorSurf);
  }
  return label;
}

}  // namespace occt_host
