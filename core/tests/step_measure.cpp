#include "step_measure.h"

#include <BRepBndLib.hxx>
#include <BRepGProp.hxx>
#include <Bnd_Box.hxx>
#include <GProp_GProps.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <STEPControl_Reader.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Shape.hxx>

StepMeasure measureStep(const std::string& path) {
  StepMeasure m;
  STEPControl_Reader reader;
  if (reader.ReadFile(path.c_str()) != IFSelect_RetDone) return m;
  reader.TransferRoots();
  TopoDS_Shape shape = reader.OneShape();
  if (shape.IsNull()) return m;
  m.read = true;
  for (TopExp_Explorer it(shape, TopAbs_SOLID); it.More(); it.Next()) {
    ++m.solids;
    GProp_GProps props;
    BRepGProp::VolumeProperties(it.Current(), props);
    m.volume += props.Mass();
  }
  Bnd_Box box;
  BRepBndLib::AddOptimal(shape, box, Standard_False, Standard_False);
  if (!box.IsVoid()) box.Get(m.xmin, m.ymin, m.zmin, m.xmax, m.ymax, m.zmax);
  return m;
}
