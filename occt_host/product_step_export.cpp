#include "occt_host/product_step_export.h"

#include <BRep_Builder.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <Quantity_Color.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <STEPControl_StepModelType.hxx>
#include <TCollection_ExtendedString.hxx>
#include <TDF_Label.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <TopLoc_Location.hxx>
#include <TopoDS_Compound.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>
#include <gp_Trsf.hxx>

#include <map>
#include <stdexcept>
#include <vector>

#include "occt_host/body.h"
#include "occt_host/document.h"
#include "occt_host/part.h"
#include "occt_host/product.h"

namespace occt_host {

namespace {

// Sub-assemblies nest at most this deep; a deeper structure is not exported.
constexpr int kMaxAssemblyDepth = 64;

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

gp_Trsf placement(const host::Transform& t) {
  gp_Trsf trsf;
  const auto& m = t.m;
  trsf.SetValues(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10], m[11]);
  return trsf;
}

class AssemblyWriter {
 public:
  AssemblyWriter() : xde_(new TDocStd_Document("MDTV-XCAF")) {
    XCAFApp_Application::GetApplication()->InitDocument(xde_);
    shapes_ = XCAFDoc_DocumentTool::ShapeTool(xde_->Main());
  }

  // The label of a reference product: a Part's solids, or an assembly of its instances.
  // Null when it shows nothing.
  TDF_Label referenceLabel(Product& reference, int depth) {
    auto known = labels_.find(&reference);
    if (known != labels_.end()) return known->second;
    TDF_Label label = reference.part() ? partLabel(*reference.part(), reference.partNumber())
                                       : assemblyLabel(reference, depth);
    labels_[&reference] = label;
    return label;
  }

  TDF_Label assemblyLabel(Product& reference, int depth) {
    if (depth > kMaxAssemblyDepth) return TDF_Label();
    TDF_Label assembly = shapes_->NewShape();
    int placed = 0;
    for (const auto& instance : reference.childProducts()) {
      TDF_Label shown = referenceLabel(*instance->reference(), depth + 1);
      if (shown.IsNull()) continue;
      TDF_Label component = shapes_->AddComponent(assembly, shown, location(*instance));
      if (component.IsNull()) continue;
      TDataStd_Name::Set(component, extended(instance->instanceName()));
      ++placed;
    }
    if (placed == 0) {
      shapes_->RemoveShape(assembly, false);
      return TDF_Label();
    }
    TDataStd_Name::Set(assembly, extended(reference.instanceName()));
    return assembly;
  }

  Handle(TDocStd_Document) document() const { return xde_; }

 private:
  TDF_Label partLabel(const Part& part, const std::string& partNumber) {
    std::vector<NamedSolid> solids = solidsOf(part);
    if (solids.empty()) return TDF_Label();
    TDF_Label label;
    if (solids.size() == 1) {
      label = shapes_->AddShape(solids.front().solid, /*makeAssembly=*/false);
      setColor(xde_, label, solids.front());
    } else {
      // Several bodies travel as one compound; each body stays a named, coloured sub-shape.
      TopoDS_Compound compound;
      BRep_Builder builder;
      builder.MakeCompound(compound);
      for (const auto& s : solids) builder.Add(compound, s.solid);
      label = shapes_->AddShape(compound, /*makeAssembly=*/false);
      for (const auto& s : solids) {
        TDF_Label sub = shapes_->AddSubShape(label, s.solid);
        if (sub.IsNull()) continue;
        TDataStd_Name::Set(sub, extended(s.name));
        setColor(xde_, sub, s);
      }
    }
    TDataStd_Name::Set(label, extended(partNumber));
    return label;
  }

  // Every occurrence carries its placement as a transformation, identity included, so that
  // no two instances of one Part share an unplaced shape; the names travel on the occurrences
  // (checked for an instance at identity by the tests).
  static TopLoc_Location location(const Product& instance) {
    return TopLoc_Location(placement(instance.position()));
  }

  Handle(TDocStd_Document) xde_;
  Handle(XCAFDoc_ShapeTool) shapes_;
  std::map<const Product*, TDF_Label> labels_;
};

}  // namespace

void writeProductStep(const Document& document, const std::string& path) {
  const std::shared_ptr<Product>& root = document.rootProduct();
  if (!root) throw std::runtime_error("the document holds no Product");
  AssemblyWriter assembly;
  TDF_Label top = assembly.assemblyLabel(*root, 0);
  if (top.IsNull()) throw std::runtime_error("the Product holds no instance with a solid");
  XCAFDoc_DocumentTool::ShapeTool(assembly.document()->Main())->UpdateAssemblies();
  STEPCAFControl_Writer writer;
  writer.SetNameMode(true);
  writer.SetColorMode(true);
  if (!writer.Transfer(assembly.document(), STEPControl_AsIs))
    throw std::runtime_error("the assembly could not be translated to STEP");
  if (writer.Write(path.c_str()) != IFSelect_RetDone)
    throw std::runtime_error("cannot write the STEP file " + path);
}

}  // namespace occt_host
