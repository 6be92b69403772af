#include "occt_host/mesh_export.h"

#include <BRepMesh_IncrementalMesh.hxx>
#include <BRep_Builder.hxx>
#include <Message_ProgressRange.hxx>
#include <Quantity_Color.hxx>
#include <RWGltf_CafWriter.hxx>
#include <Standard_Failure.hxx>
#include <StlAPI_Writer.hxx>
#include <TColStd_IndexedDataMapOfStringString.hxx>
#include <TCollection_ExtendedString.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <TopoDS_Compound.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>

#include <stdexcept>
#include <vector>

#include "occt_host/body.h"
#include "occt_host/container.h"
#include "occt_host/document.h"
#include "occt_host/kernel_guard.h"
#include "occt_host/operation_budget.h"
#include "occt_host/part.h"

namespace occt_host {
namespace {

// 0.1 mm chords and 0.5 rad angles: smooth enough to look at, small enough for the web.
constexpr double kLinearDeflection = 0.1;
constexpr double kAngularDeflection = 0.5;

std::vector<std::shared_ptr<Body>> solidBodies(const std::shared_ptr<host::Document>& document) {
  auto ours = std::dynamic_pointer_cast<Document>(document);
  if (!ours || !ours->container()) throw std::runtime_error("the document holds no Part");
  std::vector<std::shared_ptr<Body>> bodies;
  for (const auto& node : ours->container()->partNode()->childNodes()) {
    auto body = std::dynamic_pointer_cast<Body>(node);
    if (body && !body->solid().IsNull()) bodies.push_back(body);
  }
  if (bodies.empty()) throw std::runtime_error("the Part holds no solid to export");
  return bodies;
}

TopoDS_Shape meshed(const TopoDS_Shape& solid) {
  OperationBudget budget("the meshing for export");
  IMeshTools_Parameters parameters;
  parameters.Deflection = kLinearDeflection;
  parameters.Angle = kAngularDeflection;
  parameters.InParallel = true;
  BRepMesh_IncrementalMesh(solid, parameters, budget.range());
  budget.throwIfInterrupted();
  return solid;
}

void writeStl(const std::shared_ptr<host::Document>& document, const std::string& path) {
  TopoDS_Compound all;
  BRep_Builder builder;
  builder.MakeCompound(all);
  for (const auto& body : solidBodies(document)) builder.Add(all, meshed(body->solid()));
  StlAPI_Writer writer;
  OperationBudget budget("the STL file " + path);
  const bool written = writer.Write(all, path.c_str(), budget.range());
  budget.throwIfInterrupted();
  if (!written) throw std::runtime_error("cannot write the STL file " + path);
}

void writeGltf(const std::shared_ptr<host::Document>& document, const std::string& path) {
  Handle(TDocStd_Document) xde = new TDocStd_Document("MDTV-XCAF");
  XCAFApp_Application::GetApplication()->InitDocument(xde);
  Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(xde->Main());
  for (const auto& body : solidBodies(document)) {
    TDF_Label label = shapes->AddShape(meshed(body->solid()), false);
    TDataStd_Name::Set(label, TCollection_ExtendedString(body->displayName().c_str(), true));
    host::Color c;
    if (body->color(c)) {
      XCAFDoc_DocumentTool::ColorTool(xde->Main())
          ->SetColor(label,
                     Quantity_Color(c.r / 255.0, c.g / 255.0, c.b / 255.0, Quantity_TOC_sRGB),
                     XCAFDoc_ColorGen);
    }
  }
  const bool binary = path.size() >= 4 && path.compare(path.size() - 4, 4, ".glb") == 0;
  RWGltf_CafWriter writer(path.c_str(), binary);
  TColStd_IndexedDataMapOfStringString info;
  OperationBudget budget("the glTF file " + path);
  const bool written = writer.Perform(xde, info, budget.range());
  budget.throwIfInterrupted();
  if (!written) throw std::runtime_error("cannot write the glTF file " + path);
}

template <class Write>
bool guarded(Write write, const std::shared_ptr<host::Document>& document, const std::string& path,
             std::string* error) {
  quietKernelMessages();
  try {
    write(document, path);
    return true;
  } catch (const Standard_Failure& failure) {
    if (error) *error = failure.GetMessageString();
  } catch (const std::exception& e) {
    if (error) *error = e.what();
  } catch (...) {
    if (error) *error = "unknown failure";
  }
  return false;
}

}  // namespace

bool exportStl(const std::shared_ptr<host::Document>& document, const std::string& path,
               std::string* error) {
  return guarded(writeStl, document, path, error);
}

bool exportGltf(const std::shared_ptr<host::Document>& document, const std::string& path,
                std::string* error) {
  return guarded(writeGltf, document, path, error);
}

}  // namespace occt_host
