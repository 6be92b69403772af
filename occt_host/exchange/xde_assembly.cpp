#include "exchange/xde_assembly.h"

#include <TCollection_ExtendedString.hxx>
#include <TDataStd_Name.hxx>
#include <TopLoc_Location.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>
#include <gp_Trsf.hxx>

#include "exchange/xde_bodies.h"
#include "occt_host/model/product.h"

namespace occt_host {
namespace {

// Sub-assemblies nest at most this deep; a deeper structure is not exported.
constexpr int kMaxAssemblyDepth = 64;

TCollection_ExtendedString extended(const std::string& text) {
  return TCollection_ExtendedString(text.c_str(), /*isMultiByte=*/true);
}

// Every occurrence carries its placement as a transformation, identity included, so that
// no two instances of one Part share an unplaced shape; the names travel on the occurrences.
TopLoc_Location location(const Product& instance) {
  const auto& m = instance.position().m;
  gp_Trsf trsf;
  trsf.SetValues(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10], m[11]);
  return TopLoc_Location(trsf);
}

}  // namespace

XdeAssembly::XdeAssembly(PartShape partShape)
    : partShape_(std::move(partShape)), xde_(newXdeDocument()) {}

TDF_Label XdeAssembly::build(Product& root) {
  TDF_Label top = assemblyLabel(root, 0);
  if (!top.IsNull()) XCAFDoc_DocumentTool::ShapeTool(xde_->Main())->UpdateAssemblies();
  return top;
}

// The label of a reference product: a Part's shape, or an assembly of its instances.
TDF_Label XdeAssembly::referenceLabel(Product& reference, int depth) {
  auto known = labels_.find(&reference);
  if (known != labels_.end()) return known->second;
  TDF_Label label = reference.part() ? partShape_(xde_, *reference.part(), reference.partNumber())
                                     : assemblyLabel(reference, depth);
  labels_[&reference] = label;
  return label;
}

TDF_Label XdeAssembly::assemblyLabel(Product& reference, int depth) {
  if (depth > kMaxAssemblyDepth) return TDF_Label();
  Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(xde_->Main());
  TDF_Label assembly = shapes->NewShape();
  int placed = 0;
  for (const auto& instance : reference.childProducts()) {
    TDF_Label shown = referenceLabel(*instance->reference(), depth + 1);
    if (shown.IsNull()) continue;
    TDF_Label component = shapes->AddComponent(assembly, shown, location(*instance));
    if (component.IsNull()) continue;
    TDataStd_Name::Set(component, extended(instance->instanceName()));
    ++placed;
  }
  if (placed == 0) {
    shapes->RemoveShape(assembly, false);
    return TDF_Label();
  }
  TDataStd_Name::Set(assembly, extended(reference.instanceName()));
  return assembly;
}

}  // namespace occt_host
