#include "step_samples.h"

#include <BRepPrimAPI_MakeBox.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <Quantity_Color.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>
#include <gp_Trsf.hxx>

namespace occt_host::testing {

namespace {

Handle(TDocStd_Document) newDoc() {
  Handle(TDocStd_Document) doc = new TDocStd_Document("MDTV-XCAF");
  XCAFApp_Application::GetApplication()->InitDocument(doc);
  return doc;
}

TDF_Label addNamed(const Handle(TDocStd_Document) & doc, const TopoDS_Shape& shape,
                   const std::string& name) {
  TDF_Label label = XCAFDoc_DocumentTool::ShapeTool(doc->Main())->AddShape(shape, false);
  TDataStd_Name::Set(label, TCollection_ExtendedString(name.c_str(), true));
  return label;
}

bool write(const Handle(TDocStd_Document) & doc, const std::string& path) {
  STEPCAFControl_Writer writer;
  writer.SetNameMode(true);
  writer.SetColorMode(true);
  return writer.Transfer(doc, STEPControl_AsIs) && writer.Write(path.c_str()) == IFSelect_RetDone;
}

}  // namespace

bool writeBoxStep(const std::string& path, double dx, double dy, double dz, const std::string& name,
                  int r, int g, int b) {
  Handle(TDocStd_Document) doc = newDoc();
  TDF_Label label = addNamed(doc, BRepPrimAPI_MakeBox(dx, dy, dz).Shape(), name);
  XCAFDoc_DocumentTool::ColorTool(doc->Main())
      ->SetColor(label, Quantity_Color(r / 255.0, g / 255.0, b / 255.0, Quantity_TOC_sRGB),
                 XCAFDoc_ColorGen);
  return write(doc, path);
}

bool writeTwoRootsStep(const std::string& path) {
  Handle(TDocStd_Document) doc = newDoc();
  addNamed(doc, BRepPrimAPI_MakeBox(10, 10, 10).Shape(), "CubeA");
  addNamed(doc, BRepPrimAPI_MakeBox(gp_Pnt(50, 0, 0), 20, 10, 5).Shape(), "SlabB");
  return write(doc, path);
}

bool writeAssemblyStep(const std::string& path) {
  Handle(TDocStd_Document) doc = newDoc();
  Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(doc->Main());
  TDF_Label cube = addNamed(doc, BRepPrimAPI_MakeBox(10, 10, 10).Shape(), "Cube");
  TDF_Label pair = shapes->NewShape();
  TDataStd_Name::Set(pair, "Pair");
  gp_Trsf shift;
  shift.SetTranslation(gp_Vec(30, 0, 0));
  TDF_Label left = shapes->AddComponent(pair, cube, TopLoc_Location());
  TDF_Label right = shapes->AddComponent(pair, cube, TopLoc_Location(shift));
  TDataStd_Name::Set(left, "Left");
  TDataStd_Name::Set(right, "Right");
  shapes->UpdateAssemblies();
  return write(doc, path);
}

}  // namespace occt_host::testing
