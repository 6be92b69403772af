#include "exchange/document_storage.h"

#include <BinXCAFDrivers.hxx>
#include <PCDM_ReaderStatus.hxx>
#include <PCDM_StoreStatus.hxx>
#include <Quantity_Color.hxx>
#include <TCollection_AsciiString.hxx>
#include <TCollection_ExtendedString.hxx>
#include <TDF_Label.hxx>
#include <TDF_LabelSequence.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <TopAbs_ShapeEnum.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>

#include <cmath>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "exchange/xde_bodies.h"
#include "kernel/kernel_guard.h"
#include "model/stored_solid.h"
#include "occt_host/model/body.h"
#include "occt_host/model/container.h"
#include "occt_host/model/part.h"
#include "occt_host/model/product.h"
#include "occt_host/session/document.h"

namespace occt_host {

namespace {

constexpr char kFormat[] = "BinXCAF";
// Below the document's main label, beside the XDE tools (tags 1 to 10).
constexpr int kPartNumberTag = 100;

Handle(XCAFApp_Application) storageApplication() {
  static std::once_flag once;
  Handle(XCAFApp_Application) app = XCAFApp_Application::GetApplication();
  std::call_once(once, [&app] { BinXCAFDrivers::DefineFormat(app); });
  return app;
}

TCollection_ExtendedString extended(const std::string& text) {
  return TCollection_ExtendedString(text.c_str(), /*isMultiByte=*/true);
}

std::string utf8(const TCollection_ExtendedString& text) {
  std::string out(static_cast<std::size_t>(text.LengthOfCString()) + 1, '\0');
  Standard_PCharacter cursor = &out[0];
  const Standard_Integer n = text.ToUTF8CString(cursor);
  out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return out;
}

void write(const Document& document, const std::string& path) {
  if (!document.container()) throw std::runtime_error("the document holds no Part");
  Handle(XCAFApp_Application) app = storageApplication();
  Handle(TDocStd_Document) xde;
  app->NewDocument(kFormat, xde);
  for (const auto& node : document.container()->partNode()->childNodes()) {
    // Named and coloured as in a STEP file: the faces a coloured feature made keep its
    // colour, which the reopened Part shows again.
    if (auto body = std::dynamic_pointer_cast<Body>(node)) addBodyToXde(xde, *body);
  }
  const std::string partNumber =
      document.rootProduct() ? document.rootProduct()->partNumber() : document.name();
  TDataStd_Name::Set(xde->Main().FindChild(kPartNumberTag, true), extended(partNumber));
  // Through a stream: the file name's extension ("CATPart") is not one the format knows.
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot create " + path);
  const PCDM_StoreStatus stored = app->SaveAs(xde, out);
  out.close();
  app->Close(xde);
  if (stored == PCDM_SS_OK && !out) throw std::runtime_error("cannot write " + path);
  if (stored != PCDM_SS_OK)
    throw std::runtime_error("cannot store the document at " + path + " (status " +
                             std::to_string(static_cast<int>(stored)) + ")");
}

std::string nameOf(const TDF_Label& label, const std::string& fallback) {
  Handle(TDataStd_Name) name;
  if (label.FindAttribute(TDataStd_Name::GetID(), name)) return utf8(name->Get());
  return fallback;
}

host::Color hostColor(const Quantity_Color& c) {
  Standard_Real r = 0, g = 0, b = 0;
  c.Values(r, g, b, Quantity_TOC_sRGB);
  return {static_cast<int>(std::lround(r * 255)), static_cast<int>(std::lround(g * 255)),
          static_cast<int>(std::lround(b * 255))};
}

// The faces of a stored shape that carry a colour of their own.
std::vector<StoredSolid::FaceColour> faceColours(const TDF_Label& label,
                                                 const Handle(XCAFDoc_ColorTool) & colors) {
  std::vector<StoredSolid::FaceColour> out;
  TDF_LabelSequence subShapes;
  XCAFDoc_ShapeTool::GetSubShapes(label, subShapes);
  for (Standard_Integer i = 1; i <= subShapes.Length(); ++i) {
    Quantity_Color c;
    TopoDS_Shape face = XCAFDoc_ShapeTool::GetShape(subShapes.Value(i));
    if (face.IsNull() || face.ShapeType() != TopAbs_FACE) continue;
    if (colors->GetColor(subShapes.Value(i), XCAFDoc_ColorSurf, c))
      out.emplace_back(face, hostColor(c));
  }
  return out;
}

// The first stored body fills the Part's main body; the others become bodies of their own.
void addStoredBody(Part& part, const std::shared_ptr<Body>& mainBody, std::size_t index,
                   const TopoDS_Shape& solid, std::vector<StoredSolid::FaceColour> faces,
                   const std::string& name, const host::Color* color) {
  std::shared_ptr<Body> body = mainBody;
  if (index > 0) {
    body = std::make_shared<Body>(name);
    part.append(body);
  } else if (name != body->name()) {
    body->setAlias(name);
  }
  body->append(std::make_shared<StoredSolid>(part.nextName("Solid"), solid, std::move(faces)));
  if (color) body->setColor(*color);
}

void read(const std::string& path, Document& into) {
  if (!into.container()) throw std::runtime_error("the target document holds no Part");
  Handle(XCAFApp_Application) app = storageApplication();
  Handle(TDocStd_Document) xde;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  const PCDM_ReaderStatus status = app->Open(in, xde);
  if (status != PCDM_RS_OK || xde.IsNull())
    throw std::runtime_error("cannot read the document " + path + " (status " +
                             std::to_string(static_cast<int>(status)) + ")");
  struct Closer {
    Handle(XCAFApp_Application) app;
    Handle(TDocStd_Document) doc;
    ~Closer() {
      runGuarded([&] { app->Close(doc); });
    }
  } closer{app, xde};
  Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(xde->Main());
  Handle(XCAFDoc_ColorTool) colors = XCAFDoc_DocumentTool::ColorTool(xde->Main());
  TDF_LabelSequence free;
  shapes->GetFreeShapes(free);
  Part& part = *into.container()->partNode();
  std::size_t index = 0;
  for (Standard_Integer i = 1; i <= free.Length(); ++i) {
    const TDF_Label& label = free.Value(i);
    TopoDS_Shape solid = XCAFDoc_ShapeTool::GetShape(label);
    if (solid.IsNull()) continue;
    Quantity_Color c;
    const bool coloured = colors->GetColor(label, XCAFDoc_ColorGen, c);
    const host::Color color = coloured ? hostColor(c) : host::Color{};
    addStoredBody(part, part.mainBodyNode(), index++, solid, faceColours(label, colors),
                  nameOf(label, "PartBody"), coloured ? &color : nullptr);
  }
  if (into.rootProduct()) {
    TDF_Label numberLabel = xde->Main().FindChild(kPartNumberTag, false);
    if (!numberLabel.IsNull()) into.rootProduct()->setPartNumber(nameOf(numberLabel, into.name()));
  }
  part.update();
}

}  // namespace

host::Status savePartDocument(const Document& document, const std::string& path,
                              std::string& error) {
  quietKernelMessages();
  return runGuarded([&] { write(document, path); }, error) ? host::kOk : host::kFail;
}

host::Status loadPartDocument(const std::string& path, Document& into, std::string& error) {
  quietKernelMessages();
  return runGuarded([&] { read(path, into); }, error) ? host::kOk : host::kFail;
}

}  // namespace occt_host
