// A drawing sheet of a Part as SVG: the isometric view and the front, top and right views,
// hidden lines removed by the kernel's exact hidden-line algorithm (no OpenGL, no display),
// visible edges solid, hidden edges dashed, each view labelled.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <TopoDS_Shape.hxx>

#include "host/document.h"

namespace occt_host {

// One edge of a view as a polyline in the view's plane, in millimetres, +x right, +y up.
struct ViewEdge {
  std::vector<std::pair<double, double>> points;
  bool hidden = false;
};

struct ProjectedView {
  std::string name;  // "Isometric", "Front", "Top", "Right"
  std::vector<ViewEdge> edges;
};

// The four views of `shape`. Front looks along +Y with +Z up, top along -Z with +Y up, right
// along -X with +Z up, isometric from (+1, -1, +1) with +Z up. Throws Standard_Failure or
// std::runtime_error when the kernel cannot project the shape.
std::vector<ProjectedView> projectViews(const TopoDS_Shape& shape);

// The sheet: front at the bottom left, top above it, right beside it (third-angle layout),
// the isometric view at the top right; one common scale for the three orthographic views.
// Each edge is one <path> of class "visible" or "hidden" inside the view's <g>.
std::string svgSheet(const std::vector<ProjectedView>& views);

// Writes the sheet of every body's solid in a Part document. False with the reason in
// `error` (when given) when the document holds no solid or the file cannot be written; a
// file that cannot be opened is refused before any projection.
bool exportSvgSheet(const std::shared_ptr<host::Document>& document, const std::string& path,
                    std::string* error);

}  // namespace occt_host
