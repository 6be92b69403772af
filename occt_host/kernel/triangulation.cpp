#include "occt_host/kernel/triangulation.h"

#include <BRepMesh_IncrementalMesh.hxx>
#include <BRep_Tool.hxx>
#include <Poly_Triangulation.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>

namespace occt_host {

namespace {

bool bare(const TopoDS_Shape& face) {
  TopLoc_Location where;
  const Handle(Poly_Triangulation)& mesh = BRep_Tool::Triangulation(TopoDS::Face(face), where);
  return mesh.IsNull() || mesh->NbTriangles() == 0;
}

}  // namespace

void triangulate(const TopoDS_Shape& shape, IMeshTools_Parameters parameters,
                 const Message_ProgressRange& range) {
  parameters.MeshAlgo = IMeshTools_MeshAlgoType_Delabella;
  BRepMesh_IncrementalMesh(shape, parameters, range);
  if (range.UserBreak()) return;  // the caller's budget ran out: the faces left bare stay so
  parameters.MeshAlgo = IMeshTools_MeshAlgoType_Watson;
  parameters.InParallel = false;
  for (TopExp_Explorer face(shape, TopAbs_FACE); face.More(); face.Next()) {
    if (bare(face.Current())) BRepMesh_IncrementalMesh(face.Current(), parameters);
  }
}

}  // namespace occt_host
