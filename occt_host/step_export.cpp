#include "occt_host/step_export.h"

#include <IFSelect_ReturnStatus.hxx>
#include <Quantity_Color.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <STEPControl_StepModelType.hxx>
#include <TCollection_ExtendedString.hxx>
#include <TDF_Label.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>

#include <stdexcept>

#include "occt_host/body.h"
#include "occt_host/container.h"
#include "occt_host/document.h"
#include "occt_host/feature_faces.h"
#include "occt_host/kernel_guard.h"
#include "occt_host/operation_budget.h"
#include "occt_host/part.h"
#include "occt_host/product_step_export.h"
#include "occt_host/solid_feature.h"

namespace occt_host {

namespace {

Handle(TDocStd_Document) newXdeDocument() {
  Handle(TDocStd_Document) xde = new TDocStd_Document("MDTV-XCAF");
  XCAFApp_Application::GetApplication()->InitDocument(xde);
  return xde;
}

// Colours are stored as the display values a user picked, that is sRGB.
Quantity_Color kernelColor(const host::Color& c) {
  return Quantity_Color(c.r / 255.0, c.g / 255.0, c.b / 255.0, Quantity_TOC_sRGB);
}

// Each face that a coloured feature made carries that feature's colour; the other faces
// show the body's colour, set on the whole shape.
void colourFeatureFaces(const TDF_Label& label, Body& body,
                        const Handle(XCAFDoc_ShapeTool) & shapes,
                        const Handle(XCAFDoc_ColorTool) & colors) {
  for (const auto& [feature, faces] : featureFacesOfBody(body)) {
    host::Color color;
    if (!feature->color(color)) continue;
    const Quantity_Color kernel = kernelColor(color);
    for (int i = 1; i <= faces.Extent(); ++i) {
      TDF_Label face = shapes->AddSubShape(label, faces(i));
      if (!face.IsNull()) colors->SetColor(face, kernel, XCAFDoc_ColorSurf);
    }
  }
}

bool addBody(const opencascade::handle<TDocStd_Document>& xde, Body& body) {
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

std::shared_ptr<Part> partOf(const std::shared_ptr<host::Document>& document) {
  auto ours = std::dynamic_pointer_cast<Document>(document);
  if (!ours || !ours->container()) throw std::runtime_error("the document holds no Part");
  return ours->container()->partNode();
}

void write(const std::shared_ptr<host::Document>& document, const std::string& path) {
  auto ours = std::dynamic_pointer_cast<Document>(document);
  if (ours && ours->kind() == "Product") return writeProductStep(*ours, path);
  Handle(TDocStd_Document) xde = newXdeDocument();
  int bodies = 0;
  for (const auto& node : partOf(document)->childNodes()) {
    auto body = std::dynamic_pointer_cast<Body>(node);
    if (body && addBody(xde, *body)) ++bodies;
  }
  if (bodies == 0) throw std::runtime_error("the Part holds no solid to export");
  STEPCAFControl_Writer writer;
  writer.SetNameMode(true);
  writer.SetColorMode(true);
  OperationBudget budget("the STEP translation of " + path);
  bool transferred = writer.Transfer(xde, STEPControl_AsIs, nullptr, budget.range());
  budget.throwIfInterrupted();
  if (!transferred) throw std::runtime_error("the bodies could not be translated to STEP");
  if (writer.Write(path.c_str()) != IFSelect_RetDone)
    throw std::runtime_error("cannot write the STEP file " + path);
}

}  // namespace

bool exportStep(const std::shared_ptr<host::Document>& document, const std::string& path,
                std::string* error) {
  quietKernelMessages();
  std::string reason;
  bool ok = runGuarded([&] { write(document, path); }, reason);
  if (!ok && error) *error = reason;
  return ok;
}

}  // namespace occt_host
