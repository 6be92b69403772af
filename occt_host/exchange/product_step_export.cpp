#include "exchange/product_step_export.h"

#include <BRep_Builder.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <Quantity_Color.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <STEPControl_StepModelType.hxx>
#include <TCollection_ExtendedString.hxx>
#include <TDF_Label.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <TopoDS_Compound.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>

#include <stdexcept>
#include <vector>

#include "exchange/step_write_order.h"
#include "exchange/xde_assembly.h"
#include "occt_host/model/body.h"
#include "occt_host/model/part.h"
#include "occt_host/model/product.h"
#include "occt_host/session/document.h"

namespace occt_host {

namespace {

TCollection_ExtendedString extended(const std::string& text) {
  return TCollection_ExtendedString(text.c_str(), /*isMultiByte=*/true);
}

struct NamedSolid {
  TopoDS_Shape solid;
  std::string name;
  bool coloured = false;
  host::Color color;
};

std::vector<NamedSolid> solidsOf(const Part& part) {
  std::vector<NamedSolid> out;
  for (const auto& node : part.childNodes()) {
    auto body = std::dynamic_pointer_cast<Body>(node);
    if (!body) continue;
    NamedSolid s;
    s.solid = body->solid();
    if (s.solid.IsNull()) continue;
    s.solid = inStepWriteOrder(s.solid);
    s.name = body->displayName();
    s.coloured = body->color(s.color);
    out.push_back(s);
  }
  return out;
}

void setColor(const Handle(TDocStd_Document) & xde, const TDF_Label& label, const NamedSolid& s) {
  if (!s.coloured) return;
  Quantity_Color c(s.color.r / 255.0, s.color.g / 255.0, s.color.b / 255.0, Quantity_TOC_sRGB);
  XCAFDoc_DocumentTool::ColorTool(xde->Main())->SetColor(label, c, XCAFDoc_ColorGen);
}

// A Part's solids: one shape, or one compound in which each body stays a named, coloured
// sub-shape.
TDF_Label partLabel(const Handle(TDocStd_Document) & xde, const Part& part,
                    const std::string& partNumber) {
  std::vector<NamedSolid> solids = solidsOf(part);
  if (solids.empty()) return TDF_Label();
  Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(xde->Main());
  TDF_Label label;
  if (solids.size() == 1) {
    label = shapes->AddShape(solids.front().solid, /*makeAssembly=*/false);
    setColor(xde, label, solids.front());
  } else {
    TopoDS_Compound compound;
    BRep_Builder builder;
    builder.MakeCompound(compound);
    for (const auto& s : solids) builder.Add(compound, s.solid);
    label = shapes->AddShape(compound, /*makeAssembly=*/false);
    for (const auto& s : solids) {
      TDF_Label sub = shapes->AddSubShape(label, s.solid);
      if (sub.IsNull()) continue;
      TDataStd_Name::Set(sub, extended(s.name));
      setColor(xde, sub, s);
    }
  }
  TDataStd_Name::Set(label, extended(partNumber));
  return label;
}

}  // namespace

void writeProductStep(const Document& document, const std::string& path) {
  const std::shared_ptr<Product>& root = document.rootProduct();
  if (!root) throw std::runtime_error("the document holds no Product");
  XdeAssembly assembly(partLabel);
  TDF_Label top = assembly.build(*root);
  if (top.IsNull()) throw std::runtime_error("the Product holds no instance with a solid");
  STEPCAFControl_Writer writer;
  writer.SetNameMode(true);
  writer.SetColorMode(true);
  if (!writer.Transfer(assembly.document(), STEPControl_AsIs))
    throw std::runtime_error("the assembly could not be translated to STEP");
  if (writer.Write(path.c_str()) != IFSelect_RetDone)
    throw std::runtime_error("cannot write the STEP file " + path);
}

}  // namespace occt_host
