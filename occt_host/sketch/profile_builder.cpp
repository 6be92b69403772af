#include "sketch/profile_builder.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepClass_FaceClassifier.hxx>
#include <BRepGProp.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <GProp_GProps.hxx>
#include <Precision.hxx>
#include <ShapeAnalysis.hxx>
#include <ShapeAnalysis_FreeBounds.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_HSequenceOfShape.hxx>
#include <TopoDS.hxx>

#include <algorithm>
#include <stdexcept>

namespace occt_host {

namespace {

// Sketch endpoints meet within this distance (millimetres).
constexpr double kJoinTolerance = 1e-6;

gp_Pnt pointOnWire(const TopoDS_Wire& wire) {
  TopExp_Explorer edges(wire, TopAbs_EDGE);
  BRepAdaptor_Curve curve(TopoDS::Edge(edges.Current()));
  return curve.Value(0.5 * (curve.FirstParameter() + curve.LastParameter()));
}

}  // namespace

TopoDS_Compound ProfileBuilder::build() const {
  std::vector<Contour> contours;
  for (const TopoDS_Wire& wire : closedWires()) contours.push_back(makeContour(wire));
  if (contours.empty()) throw std::runtime_error("the sketch has no closed contour");
  nest(contours);

  TopoDS_Compound faces;
  BRep_Builder builder;
  builder.MakeCompound(faces);
  for (std::size_t i = 0; i < contours.size(); ++i) {
    if (contours[i].depth % 2 != 0) continue;  // a hole, added to its outer contour below
    builder.Add(faces, withHoles(contours, i));
  }
  return faces;
}

TopoDS_Face ProfileBuilder::withHoles(const std::vector<Contour>& contours, std::size_t outer) {
  BRepBuilderAPI_MakeFace face(contours[outer].face);
  bool holes = false;
  for (const Contour& hole : contours) {
    if (hole.depth % 2 == 0 || hole.container != static_cast<int>(outer)) continue;
    face.Add(TopoDS::Wire(hole.wire.Reversed()));
    holes = true;
  }
  // Without an added wire the builder reports nothing done; the contour's face is the answer.
  if (!holes) return contours[outer].face;
  if (!face.IsDone()) throw std::runtime_error("a profile face with holes could not be built");
  return face.Face();
}

std::vector<TopoDS_Wire> ProfileBuilder::closedWires() const {
  std::vector<TopoDS_Wire> closed;
  if (edges_.empty()) return closed;
  Handle(TopTools_HSequenceOfShape) edges = new TopTools_HSequenceOfShape;
  for (const TopoDS_Edge& edge : edges_) edges->Append(edge);
  Handle(TopTools_HSequenceOfShape) wires;
  ShapeAnalysis_FreeBounds::ConnectEdgesToWires(edges, kJoinTolerance, false, wires);
  if (wires.IsNull()) return closed;
  for (int i = 1; i <= wires->Length(); ++i) {
    TopoDS_Wire wire = TopoDS::Wire(wires->Value(i));
    if (BRep_Tool::IsClosed(wire)) closed.push_back(wire);
  }
  return closed;
}

ProfileBuilder::Contour ProfileBuilder::makeContour(const TopoDS_Wire& wire) const {
  Contour contour;
  contour.wire = wire;
  contour.face = planarFace(wire);
  // A clockwise wire bounds everything outside it; turn it round.
  if (!ShapeAnalysis::IsOuterBound(contour.face)) {
    contour.wire = TopoDS::Wire(wire.Reversed());
    contour.face = planarFace(contour.wire);
  }
  GProp_GProps props;
  BRepGProp::SurfaceProperties(contour.face, props);
  contour.area = props.Mass();
  return contour;
}

// The kernel builds a face on the plane even from a wire off it, and the face is then
// invalid; so the wire is measured first and the face checked after.
TopoDS_Face ProfileBuilder::planarFace(const TopoDS_Wire& wire) const {
  if (!onPlane(wire)) throw std::runtime_error("a closed contour does not lie in the sketch plane");
  BRepBuilderAPI_MakeFace face(plane_, wire);
  if (!face.IsDone() || !BRepCheck_Analyzer(face.Face()).IsValid())
    throw std::runtime_error("a closed contour does not bound a valid face");
  return face.Face();
}

bool ProfileBuilder::onPlane(const TopoDS_Wire& wire) const {
  constexpr int kSamples = 8;
  for (TopExp_Explorer edges(wire, TopAbs_EDGE); edges.More(); edges.Next()) {
    BRepAdaptor_Curve curve(TopoDS::Edge(edges.Current()));
    double first = curve.FirstParameter(), last = curve.LastParameter();
    for (int i = 0; i <= kSamples; ++i) {
      gp_Pnt p = curve.Value(first + (last - first) * i / kSamples);
      if (plane_.Distance(p) > kJoinTolerance) return false;
    }
  }
  return true;
}

bool ProfileBuilder::encloses(const Contour& outer, const Contour& inner) {
  if (inner.area >= outer.area) return false;
  BRepClass_FaceClassifier classifier(outer.face, pointOnWire(inner.wire), Precision::Confusion());
  return classifier.State() == TopAbs_IN;
}

// Sorting by area lets the innermost enclosing contour be the last one found.
void ProfileBuilder::nest(std::vector<Contour>& contours) {
  std::stable_sort(contours.begin(), contours.end(),
                   [](const Contour& a, const Contour& b) { return a.area > b.area; });
  for (std::size_t i = 0; i < contours.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (!encloses(contours[j], contours[i])) continue;
      ++contours[i].depth;
      contours[i].container = static_cast<int>(j);
    }
  }
}

}  // namespace occt_host
