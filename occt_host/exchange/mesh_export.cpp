#include "occt_host/exchange/mesh_export.h"

#include <BRep_Builder.hxx>
#include <Message_ProgressRange.hxx>
#include <RWGltf_CafWriter.hxx>
#include <StlAPI_Writer.hxx>
#include <TColStd_IndexedDataMapOfStringString.hxx>
#include <TCollection_ExtendedString.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <TopLoc_Location.hxx>
#include <TopoDS_Compound.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>

#include <stdexcept>
#include <vector>

#include "exchange/output_file.h"
#include "exchange/xde_assembly.h"
#include "exchange/xde_bodies.h"
#include "kernel/kernel_guard.h"
#include "occt_host/kernel/operation_budget.h"
#include "occt_host/kernel/triangulation.h"
#include "occt_host/model/body.h"
#include "occt_host/model/container.h"
#include "occt_host/model/part.h"
#include "occt_host/model/product.h"
#include "occt_host/session/document.h"

namespace occt_host {
namespace {

TCollection_ExtendedString extended(const std::string& text) {
  return TCollection_ExtendedString(text.c_str(), /*isMultiByte=*/true);
}

std::shared_ptr<Document> documentOf(const std::shared_ptr<host::Document>& document) {
  auto ours = std::dynamic_pointer_cast<Document>(document);
  if (!ours || (!ours->container() && !ours->rootProduct()))
    throw std::runtime_error("the document holds no Part");
  return ours;
}

std::vector<std::shared_ptr<Body>> solidBodies(const Part& part) {
  std::vector<std::shared_ptr<Body>> bodies;
  for (const auto& node : part.childNodes()) {
    auto body = std::dynamic_pointer_cast<Body>(node);
    if (body && !body->solid().IsNull()) bodies.push_back(body);
  }
  return bodies;
}

std::vector<std::shared_ptr<Body>> partBodies(const Document& document) {
  std::vector<std::shared_ptr<Body>> bodies = solidBodies(*document.container()->partNode());
  if (bodies.empty()) throw std::runtime_error("the Part holds no solid to export");
  return bodies;
}

void checkQuality(const MeshQuality& quality) {
  // Also refuses NaN: a zero or negative chord would ask the mesher for endless triangles.
  if (!(quality.linearDeflection >= 1e-4 && quality.linearDeflection <= 1e4))
    throw std::runtime_error("the linear deflection must lie between 0.0001 and 10000 mm");
  if (!(quality.angularDeflection >= 0.01 && quality.angularDeflection <= 3.2))
    throw std::runtime_error("the angular deflection must lie between 0.01 and 3.2 rad");
}

// Triangulates the solid's faces in place; the writers read the triangulation from them.
void mesh(const TopoDS_Shape& solid, const MeshQuality& quality) {
  OperationBudget budget("the meshing for export");
  IMeshTools_Parameters parameters;
  parameters.Deflection = quality.linearDeflection;
  parameters.Angle = quality.angularDeflection;
  parameters.InParallel = true;
  triangulate(solid, parameters, budget.range());
  budget.throwIfInterrupted();
}

// A Part shown by an instance, for the mesh writers: one component per body with a solid,
// each the body's faces meshed and grouped by colour, so that an instance's node holds one
// named node per body.
TDF_Label meshedPartShape(const Handle(TDocStd_Document) & xde, const Part& part,
                          const std::string& partNumber, const MeshQuality& quality) {
  std::vector<std::shared_ptr<Body>> bodies = solidBodies(part);
  if (bodies.empty()) return TDF_Label();
  Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(xde->Main());
  TDF_Label label = shapes->NewShape();
  for (const auto& body : bodies) {
    mesh(body->solid(), quality);
    TDF_Label component =
        shapes->AddComponent(label, addBodyFacesToXde(xde, *body), TopLoc_Location());
    // XDE would name the occurrence after its label's entry; the node shows the body's name.
    if (!component.IsNull()) TDataStd_Name::Set(component, extended(body->displayName()));
  }
  TDataStd_Name::Set(label, extended(partNumber));
  return label;
}

// The whole drawing meshed, in an XDE document: a Part's bodies as free shapes, or a
// Product's assembly with one placed, named component per instance. `shape` is all of it
// as placed, for the STL writer.
Handle(TDocStd_Document)
    meshedXde(const Document& document, const MeshQuality& quality, TopoDS_Shape& shape) {
  if (document.container()) {
    Handle(TDocStd_Document) xde = newXdeDocument();
    TopoDS_Compound all;
    BRep_Builder builder;
    builder.MakeCompound(all);
    for (const auto& body : partBodies(document)) {
      mesh(body->solid(), quality);
      addBodyFacesToXde(xde, *body);
      builder.Add(all, body->solid());
    }
    shape = all;
    return xde;
  }
  XdeAssembly assembly(
      [&](const Handle(TDocStd_Document) & xde, const Part& part, const std::string& number) {
        return meshedPartShape(xde, part, number, quality);
      });
  TDF_Label top = assembly.build(*document.rootProduct());
  if (top.IsNull()) throw std::runtime_error("the Product holds no instance with a solid");
  shape = XCAFDoc_ShapeTool::GetShape(top);
  return assembly.document();
}

void writeStl(const std::shared_ptr<host::Document>& document, const std::string& path,
              const MeshQuality& quality) {
  checkQuality(quality);
  auto ours = documentOf(document);
  OutputFile file("STL", path);
  TopoDS_Shape all;
  meshedXde(*ours, quality, all);
  StlAPI_Writer writer;
  writer.ASCIIMode() = false;
  OperationBudget budget("the STL file " + path);
  const bool written = writer.Write(all, path.c_str(), budget.range());
  budget.throwIfInterrupted();
  if (!written) throw std::runtime_error("cannot write the STL file " + path);
  file.keep();
}

void writeGltf(const std::shared_ptr<host::Document>& document, const std::string& path,
               const MeshQuality& quality) {
  checkQuality(quality);
  auto ours = documentOf(document);
  OutputFile file("glTF", path);
  TopoDS_Shape all;
  Handle(TDocStd_Document) xde = meshedXde(*ours, quality, all);
  const bool binary = path.size() >= 4 && path.compare(path.size() - 4, 4, ".glb") == 0;
  RWGltf_CafWriter writer(path.c_str(), binary);
  // Our lengths are millimetres with +Z up; glTF is metres with +Y up.
  writer.ChangeCoordinateSystemConverter().SetInputLengthUnit(0.001);
  writer.ChangeCoordinateSystemConverter().SetInputCoordinateSystem(RWMesh_CoordinateSystem_Zup);
  // One primitive per colour of a body rather than one per face.
  writer.SetMergeFaces(true);
  TColStd_IndexedDataMapOfStringString info;
  OperationBudget budget("the glTF file " + path);
  const bool written = writer.Perform(xde, info, budget.range());
  budget.throwIfInterrupted();
  if (!written) throw std::runtime_error("cannot write the glTF file " + path);
  file.keep();
}

template <class Write>
bool writeGuarded(Write write, const std::shared_ptr<host::Document>& document,
                  const std::string& path, const MeshQuality& quality, std::string* error) {
  quietKernelMessages();
  auto work = [&] { write(document, path, quality); };
  return error ? runGuarded(work, *error) : runGuarded(work);
}

}  // namespace

bool exportStl(const std::shared_ptr<host::Document>& document, const std::string& path,
               std::string* error, const MeshQuality& quality) {
  return writeGuarded(writeStl, document, path, quality, error);
}

bool exportGltf(const std::shared_ptr<host::Document>& document, const std::string& path,
                std::string* error, const MeshQuality& quality) {
  return writeGuarded(writeGltf, document, path, quality, error);
}

}  // namespace occt_host
