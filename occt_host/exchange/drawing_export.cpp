#include "occt_host/exchange/drawing_export.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepBndLib.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <GCPnts_QuasiUniformDeflection.hxx>
#include <HLRAlgo_Projector.hxx>
#include <HLRBRep_Algo.hxx>
#include <HLRBRep_HLRToShape.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Edge.hxx>
#include <gp_Ax2.hxx>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <stdexcept>

#include "exchange/output_file.h"
#include "kernel/kernel_guard.h"
#include "occt_host/exchange/step_documents.h"
#include "occt_host/model/container.h"
#include "occt_host/model/part.h"
#include "occt_host/session/document.h"

namespace occt_host {
namespace {

struct ViewFrame {
  const char* name;
  gp_Dir towardEye;
  gp_Dir right;
};

const ViewFrame kFrames[] = {
    {"Isometric", gp_Dir(1, -1, 1), gp_Dir(1, 1, 0)},
    {"Front", gp_Dir(0, -1, 0), gp_Dir(1, 0, 0)},
    {"Top", gp_Dir(0, 0, 1), gp_Dir(1, 0, 0)},
    {"Right", gp_Dir(1, 0, 0), gp_Dir(0, 1, 0)},
};

// A chord height small against the part and never below a micrometre.
double deflectionFor(const TopoDS_Shape& shape) {
  Bnd_Box box;
  BRepBndLib::Add(shape, box);
  if (box.IsVoid()) return 0.01;
  return std::max(1e-3, std::sqrt(box.SquareExtent()) * 1e-3);
}

void addPolyline(const TopoDS_Edge& edge, double deflection, bool hidden,
                 std::vector<ViewEdge>& edges) {
  if (BRep_Tool::Degenerated(edge)) return;
  BRepAdaptor_Curve curve(edge);
  ViewEdge out;
  out.hidden = hidden;
  if (curve.GetType() == GeomAbs_Line) {
    for (double u : {curve.FirstParameter(), curve.LastParameter()}) {
      const gp_Pnt p = curve.Value(u);
      out.points.emplace_back(p.X(), p.Y());
    }
  } else {
    GCPnts_QuasiUniformDeflection sampler(curve, deflection);
    if (!sampler.IsDone()) return;
    for (int i = 1; i <= sampler.NbPoints(); ++i)
      out.points.emplace_back(sampler.Value(i).X(), sampler.Value(i).Y());
  }
  if (out.points.size() >= 2) edges.push_back(std::move(out));
}

void addEdges(const TopoDS_Shape& compound, double deflection, bool hidden,
              std::vector<ViewEdge>& edges) {
  if (compound.IsNull()) return;
  for (TopExp_Explorer it(compound, TopAbs_EDGE); it.More(); it.Next())
    addPolyline(TopoDS::Edge(it.Current()), deflection, hidden, edges);
}

ProjectedView project(const TopoDS_Shape& shape, const ViewFrame& frame, double deflection) {
  Handle(HLRBRep_Algo) algo = new HLRBRep_Algo();
  algo->Add(shape);
  algo->Projector(HLRAlgo_Projector(gp_Ax2(gp::Origin(), frame.towardEye, frame.right)));
  algo->Update();
  algo->Hide();
  HLRBRep_HLRToShape lines(algo);
  ProjectedView view;
  view.name = frame.name;
  // Sharp edges and silhouettes both ways; tangent (smooth) edges only where seen, as a
  // drawing shows the outline of a round without its hidden seams.
  addEdges(lines.VCompound(), deflection, false, view.edges);
  addEdges(lines.Rg1LineVCompound(), deflection, false, view.edges);
  addEdges(lines.OutLineVCompound(), deflection, false, view.edges);
  addEdges(lines.HCompound(), deflection, true, view.edges);
  addEdges(lines.OutLineHCompound(), deflection, true, view.edges);
  return view;
}

struct Extent {
  double minX = std::numeric_limits<double>::max(), minY = minX;
  double maxX = -std::numeric_limits<double>::max(), maxY = maxX;
  double width() const { return maxX > minX ? maxX - minX : 0; }
  double height() const { return maxY > minY ? maxY - minY : 0; }
};

Extent extentOf(const ProjectedView& view) {
  Extent e;
  for (const auto& edge : view.edges)
    for (const auto& [x, y] : edge.points) {
      e.minX = std::min(e.minX, x), e.maxX = std::max(e.maxX, x);
      e.minY = std::min(e.minY, y), e.maxY = std::max(e.maxY, y);
    }
  return e;
}

constexpr double kCell = 400;   // px, each view's square cell
constexpr double kMargin = 40;  // px, inside a cell around the view
constexpr double kLabel = 24;   // px, below the view for its name

double fitScale(const Extent& e) {
  const double room = kCell - 2 * kMargin - kLabel;
  const double size = std::max(e.width(), e.height());
  return size > 0 ? room / size : 1;
}

std::string number(double v) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.3f", std::abs(v) < 5e-4 ? 0.0 : v);
  return text;
}

// The view centred in the cell at (cellX, cellY), drawn at `scale` px per mm, y up.
std::string viewGroup(const ProjectedView& view, double scale, double cellX, double cellY) {
  const Extent e = extentOf(view);
  const double cx = cellX + kCell / 2, cy = cellY + (kCell - kLabel) / 2;
  const double midX = (e.minX + e.maxX) / 2, midY = (e.minY + e.maxY) / 2;
  std::string out = "<g class=\"view\" id=\"" + view.name + "\">\n";
  for (const auto& edge : view.edges) {
    out += std::string("<path class=\"") + (edge.hidden ? "hidden" : "visible") + "\" d=\"";
    char op = 'M';
    for (const auto& [x, y] : edge.points) {
      out += op + number(cx + (x - midX) * scale) + " " + number(cy - (y - midY) * scale) + " ";
      op = 'L';
    }
    out.back() = '"';
    out += "/>\n";
  }
  out += "<text x=\"" + number(cx) + "\" y=\"" + number(cellY + kCell - kMargin / 2) + "\">" +
         view.name + "</text>\n</g>\n";
  return out;
}

const ProjectedView* findView(const std::vector<ProjectedView>& views, const std::string& name) {
  for (const auto& view : views)
    if (view.name == name) return &view;
  return nullptr;
}

// One scale for the orthographic views, so that their sizes compare.
double orthographicScale(const std::vector<ProjectedView>& views) {
  double scale = std::numeric_limits<double>::max();
  for (const auto& view : views)
    if (view.name != "Isometric") scale = std::min(scale, fitScale(extentOf(view)));
  return scale == std::numeric_limits<double>::max() ? 1 : scale;
}

TopoDS_Shape documentShape(const std::shared_ptr<host::Document>& document) {
  auto ours = std::dynamic_pointer_cast<Document>(document);
  if (!ours || !ours->container()) throw std::runtime_error("the document holds no Part");
  TopoDS_Compound all;
  BRep_Builder builder;
  builder.MakeCompound(all);
  bool any = false;
  for (const auto& solid : partSolids(*ours->container()->partNode())) {
    builder.Add(all, solid.shape);
    any = true;
  }
  if (!any) throw std::runtime_error("the Part holds no solid to draw");
  return all;
}

}  // namespace

std::vector<ProjectedView> projectViews(const TopoDS_Shape& shape) {
  const double deflection = deflectionFor(shape);
  std::vector<ProjectedView> views;
  for (const auto& frame : kFrames) views.push_back(project(shape, frame, deflection));
  return views;
}

std::string svgSheet(const std::vector<ProjectedView>& views) {
  const double ortho = orthographicScale(views);
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"800\" height=\"800\" "
      "viewBox=\"0 0 800 800\">\n"
      "<style>path{fill:none;stroke:#1a1a1a;stroke-linecap:round;stroke-linejoin:round}"
      ".visible{stroke-width:1.4}.hidden{stroke-width:0.8;stroke:#707070;"
      "stroke-dasharray:6 4}text{font:16px sans-serif;text-anchor:middle;fill:#1a1a1a}</style>\n"
      "<rect width=\"800\" height=\"800\" fill=\"#ffffff\"/>\n";
  struct Placement {
    const char* name;
    double x, y;
  };
  // Third-angle layout: the top view above the front view, the right view beside it.
  for (const Placement& at : {Placement{"Top", 0, 0}, Placement{"Isometric", kCell, 0},
                              Placement{"Front", 0, kCell}, Placement{"Right", kCell, kCell}}) {
    const ProjectedView* view = findView(views, at.name);
    if (!view) continue;
    const double scale = view->name == "Isometric" ? fitScale(extentOf(*view)) : ortho;
    out += viewGroup(*view, scale, at.x, at.y);
  }
  return out + "</svg>\n";
}

bool exportSvgSheet(const std::shared_ptr<host::Document>& document, const std::string& path,
                    std::string* error) {
  quietKernelMessages();
  auto work = [&] {
    OutputFile file("SVG", path);
    const std::string sheet = svgSheet(projectViews(documentShape(document)));
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream << sheet;
    stream.close();
    if (!stream) throw std::runtime_error("cannot write the SVG file " + path);
    file.keep();
  };
  return error ? runGuarded(work, *error) : runGuarded(work);
}

}  // namespace occt_host
