#include "assembly_measure.h"

#include <BRepBndLib.hxx>
#include <BRepGProp.hxx>
#include <Bnd_Box.hxx>
#include <GProp_GProps.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <STEPCAFControl_Reader.hxx>
#include <TCollection_AsciiString.hxx>
#include <TDF_Label.hxx>
#include <TDF_LabelSequence.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <TopExp_Explorer.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>

namespace {

std::string nameOf(const TDF_Label& label) {
  Handle(TDataStd_Name) name;
  if (!label.FindAttribute(TDataStd_Name::GetID(), name)) return {};
  TCollection_AsciiString text(name->Get());
  return text.ToCString();
}

double volumeOf(const TopoDS_Shape& shape) {
  double volume = 0;
  for (TopExp_Explorer it(shape, TopAbs_SOLID); it.More(); it.Next()) {
    GProp_GProps props;
    BRepGProp::VolumeProperties(it.Current(), props);
    volume += props.Mass();
  }
  return volume;
}

}  // namespace

double AssemblyMeasure::totalVolume() const {
  double total = 0;
  for (const auto& i : instances) total += i.volume;
  return total;
}

int AssemblyMeasure::totalSolids() const {
  int total = 0;
  for (const auto& i : instances) total += i.solids;
  return total;
}

const AssemblyInstance* AssemblyMeasure::find(const std::string& name) const {
  for (const auto& i : instances)
    if (i.name == name) return &i;
  return nullptr;
}

AssemblyMeasure measureAssembly(const std::string& path) {
  AssemblyMeasure m;
  Handle(TDocStd_Document) doc = new TDocStd_Document("MDTV-XCAF");
  XCAFApp_Application::GetApplication()->InitDocument(doc);
  STEPCAFControl_Reader reader;
  reader.SetNameMode(true);
  if (reader.ReadFile(path.c_str()) != IFSelect_RetDone || !reader.Transfer(doc)) return m;
  Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(doc->Main());
  TDF_LabelSequence roots;
  shapes->GetFreeShapes(roots);
  if (roots.Length() != 1 || !XCAFDoc_ShapeTool::IsAssembly(roots.Value(1))) return m;
  m.read = true;
  m.rootName = nameOf(roots.Value(1));
  TDF_LabelSequence components;
  XCAFDoc_ShapeTool::GetComponents(roots.Value(1), components, Standard_False);
  for (Standard_Integer i = 1; i <= components.Length(); ++i) {
    const TDF_Label& component = components.Value(i);
    AssemblyInstance instance;
    instance.name = nameOf(component);
    const gp_XYZ t = XCAFDoc_ShapeTool::GetLocation(component).Transformation().TranslationPart();
    instance.x = t.X();
    instance.y = t.Y();
    instance.z = t.Z();
    TopoDS_Shape placed = XCAFDoc_ShapeTool::GetShape(component);
    instance.volume = volumeOf(placed);
    for (TopExp_Explorer it(placed, TopAbs_SOLID); it.More(); it.Next()) ++instance.solids;
    Bnd_Box box;
    BRepBndLib::AddOptimal(placed, box, Standard_False, Standard_False);
    if (!box.IsVoid())
      box.Get(instance.xmin, instance.ymin, instance.zmin, instance.xmax, instance.ymax,
              instance.zmax);
    m.instances.push_back(instance);
  }
  return m;
}
