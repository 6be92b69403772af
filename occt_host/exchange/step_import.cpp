#include "occt_host/exchange/step_import.h"

#include <IFSelect_ReturnStatus.hxx>
#include <Quantity_Color.hxx>
#include <STEPCAFControl_Reader.hxx>
#include <TDF_Label.hxx>
#include <TDF_LabelSequence.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <TopExp_Explorer.hxx>
#include <TopLoc_Location.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "kernel/kernel_guard.h"

namespace occt_host {

namespace {

constexpr char kHeader[] = "ISO-10303-21;";

// Reads the first bytes and checks for the exchange structure's opening keyword, after an
// optional UTF-8 byte order mark and white space.
bool startsLikeStep(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char head[256];
  const size_t n = std::fread(head, 1, sizeof(head), file);
  std::fclose(file);
  size_t at = 0;
  if (n >= 3 && static_cast<unsigned char>(head[0]) == 0xEF &&
      static_cast<unsigned char>(head[1]) == 0xBB && static_cast<unsigned char>(head[2]) == 0xBF)
    at = 3;
  while (at < n && (head[at] == ' ' || head[at] == '\t' || head[at] == '\r' || head[at] == '\n'))
    ++at;
  const size_t length = sizeof(kHeader) - 1;
  return n - at >= length && std::string(head + at, length) == kHeader;
}

bool checkFile(const std::string& path, std::string& error) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    error = "The STEP file does not exist or is not a file.";
    return false;
  }
  if (info.st_size == 0) {
    error = "The STEP file is empty.";
    return false;
  }
  if (static_cast<std::uint64_t>(info.st_size) > kMaxStepFileBytes) {
    error = "The STEP file is larger than the " + std::to_string(kMaxStepFileBytes >> 20) +
            " MiB that can be read.";
    return false;
  }
  if (!startsLikeStep(path)) {
    error = "The file is not a STEP file (it does not begin with ISO-10303-21).";
    return false;
  }
  return true;
}

class Collector {
 public:
  explicit Collector(const Handle(TDocStd_Document) & doc)
      : shapes_(XCAFDoc_DocumentTool::ShapeTool(doc->Main())),
        colors_(XCAFDoc_DocumentTool::ColorTool(doc->Main())) {}

  StepRoot root(const TDF_Label& label) {
    StepRoot root;
    root.name = nameOf(label);
    root.color = colorOf(label);
    root.assembly = XCAFDoc_ShapeTool::IsAssembly(label);
    collect(label, TopLoc_Location(), root.name, root.color, root.solids, 0);
    return root;
  }

 private:
  // Assemblies nest; a cycle or an absurd depth in a damaged file ends the walk.
  static constexpr int kMaxDepth = 64;

  void collect(const TDF_Label& label, const TopLoc_Location& placement, const std::string& name,
               const std::optional<host::Color>& color, std::vector<StepSolid>& out, int depth) {
    if (depth > kMaxDepth) return;
    if (XCAFDoc_ShapeTool::IsAssembly(label)) {
      TDF_LabelSequence components;
      XCAFDoc_ShapeTool::GetComponents(label, components, /*getsubchilds=*/false);
      for (Standard_Integer i = 1; i <= components.Length(); ++i)
        component(components.Value(i), placement, color, out, depth);
      return;
    }
    TopoDS_Shape shape = XCAFDoc_ShapeTool::GetShape(label);
    if (shape.IsNull()) return;
    shape.Location(placement * shape.Location());
    if (!TopExp_Explorer(shape, TopAbs_SOLID).More()) return;
    out.push_back(StepSolid{name, color, shape});
  }

  void component(const TDF_Label& instance, const TopLoc_Location& placement,
                 const std::optional<host::Color>& inherited, std::vector<StepSolid>& out,
                 int depth) {
    TDF_Label referred;
    if (!XCAFDoc_ShapeTool::GetReferredShape(instance, referred)) return;
    const TopLoc_Location location = placement * XCAFDoc_ShapeTool::GetLocation(instance);
    std::string name = nameOf(instance);
    if (name.empty()) name = nameOf(referred);
    std::optional<host::Color> color = colorOf(instance);
    if (!color) color = colorOf(referred);
    if (!color) color = inherited;
    collect(referred, location, name, color, out, depth + 1);
  }

  static std::string nameOf(const TDF_Label& label) {
    Handle(TDataStd_Name) name;
    if (!label.FindAttribute(TDataStd_Name::GetID(), name)) return {};
    const TCollection_ExtendedString& text = name->Get();
    std::string utf8(static_cast<size_t>(text.LengthOfCString()), '\0');
    Standard_PCharacter buffer = utf8.data();
    text.ToUTF8CString(buffer);
    utf8.resize(std::char_traits<char>::length(utf8.c_str()));
    return utf8;
  }

  std::optional<host::Color> colorOf(const TDF_Label& label) const {
    Quantity_Color color;
    if (!colors_->GetColor(label, XCAFDoc_ColorGen, color) &&
        !colors_->GetColor(label, XCAFDoc_ColorSurf, color))
      return std::nullopt;
    Standard_Real r = 0, g = 0, b = 0;
    color.Values(r, g, b, Quantity_TOC_sRGB);
    auto byte = [](Standard_Real v) { return static_cast<int>(std::lround(v * 255.0)); };
    return host::Color{byte(r), byte(g), byte(b)};
  }

  Handle(XCAFDoc_ShapeTool) shapes_;
  Handle(XCAFDoc_ColorTool) colors_;
};

void read(const std::string& path, StepContent& out) {
  Handle(TDocStd_Document) doc = new TDocStd_Document("MDTV-XCAF");
  XCAFApp_Application::GetApplication()->InitDocument(doc);
  STEPCAFControl_Reader reader;
  reader.SetNameMode(true);
  reader.SetColorMode(true);
  reader.SetLayerMode(true);
  if (reader.ReadFile(path.c_str()) != IFSelect_RetDone)
    throw std::runtime_error("The STEP file could not be read (it is damaged or incomplete).");
  if (!reader.Transfer(doc))
    throw std::runtime_error("The STEP file's shapes could not be translated.");
  Collector collector(doc);
  TDF_LabelSequence roots;
  XCAFDoc_DocumentTool::ShapeTool(doc->Main())->GetFreeShapes(roots);
  for (Standard_Integer i = 1; i <= roots.Length(); ++i) {
    StepRoot root = collector.root(roots.Value(i));
    if (!root.solids.empty()) out.roots.push_back(std::move(root));
  }
  if (out.roots.empty()) throw std::runtime_error("The STEP file holds no solid.");
}

}  // namespace

bool readStepFile(const std::string& path, StepContent& out, std::string& error) {
  out = StepContent{};
  if (!checkFile(path, error)) return false;
  quietKernelMessages();
  if (runGuarded([&] { read(path, out); }, error)) return true;
  out = StepContent{};
  return false;
}

}  // namespace occt_host
