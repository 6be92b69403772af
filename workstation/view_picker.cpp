#include "view_picker.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRep_Tool.hxx>
#include <IntCurvesFace_ShapeIntersector.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <gp_Lin.hxx>

#include <algorithm>
#include <cmath>
#include <limits>

namespace workstation {
namespace {

constexpr int kSamples = 64;

struct Ray {
  gp_Pnt origin;
  gp_Dir direction;
};

Ray rayAt(const Handle(V3d_View) & view, int x, int y) {
  Standard_Real px, py, pz, dx, dy, dz;
  view->ConvertWithProj(x, y, px, py, pz, dx, dy, dz);
  return Ray{gp_Pnt(px, py, pz), gp_Dir(dx, dy, dz)};
}

// Distance from (x, y) to the segment a-b, all in pixels; `t` where along it.
double segmentDistance(double x, double y, double ax, double ay, double bx, double by, double& t) {
  const double vx = bx - ax, vy = by - ay, len2 = vx * vx + vy * vy;
  t = len2 > 0 ? std::clamp(((x - ax) * vx + (y - ay) * vy) / len2, 0.0, 1.0) : 0.0;
  return std::hypot(ax + t * vx - x, ay + t * vy - y);
}

// The nearest face the ray meets: its parameter along the ray, or infinity.
double nearestFace(const std::vector<TopoDS_Shape>& solids, const Ray& ray, PickHit& hit) {
  double best = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < solids.size(); ++i) {
    IntCurvesFace_ShapeIntersector intersector;
    intersector.Load(solids[i], 1e-6);
    intersector.Perform(gp_Lin(ray.origin, ray.direction), -1e12, 1e12);
    if (!intersector.IsDone()) continue;
    for (int k = 1; k <= intersector.NbPnt(); ++k) {
      if (intersector.WParameter(k) >= best) continue;
      best = intersector.WParameter(k);
      hit = PickHit{static_cast<int>(i), intersector.Face(k), intersector.Pnt(k)};
    }
  }
  return best;
}

// The visible edge passing closest to the cursor within `limit` pixels, if any.
void nearestEdge(const Handle(V3d_View) & view, const std::vector<TopoDS_Shape>& solids,
                 const Ray& ray, int x, int y, double limit, double faceDepth, PickHit& hit) {
  // An edge on the face that was hit lies at its depth; allow for the sampling's chord.
  const double slack = 1e-3 + 0.01 * std::abs(faceDepth == INFINITY ? 0 : faceDepth);
  double best = limit;
  for (std::size_t i = 0; i < solids.size(); ++i) {
    TopTools_IndexedMapOfShape edges;
    TopExp::MapShapes(solids[i], TopAbs_EDGE, edges);
    for (int e = 1; e <= edges.Extent(); ++e) {
      const TopoDS_Edge& edge = TopoDS::Edge(edges(e));
      if (BRep_Tool::Degenerated(edge)) continue;
      BRepAdaptor_Curve curve(edge);
      const double u0 = curve.FirstParameter(), u1 = curve.LastParameter();
      gp_Pnt previous = curve.Value(u0);
      Standard_Integer ax, ay;
      view->Convert(previous.X(), previous.Y(), previous.Z(), ax, ay);
      for (int s = 1; s <= kSamples; ++s) {
        const gp_Pnt next = curve.Value(u0 + (u1 - u0) * s / kSamples);
        Standard_Integer bx, by;
        view->Convert(next.X(), next.Y(), next.Z(), bx, by);
        double t = 0;
        const double d = segmentDistance(x, y, ax, ay, bx, by, t);
        const gp_Pnt at(previous.XYZ() + (next.XYZ() - previous.XYZ()) * t);
        const double depth = gp_Vec(ray.origin, at).Dot(gp_Vec(ray.direction));
        if (d < best && depth <= faceDepth + slack) {
          best = d;
          hit = PickHit{static_cast<int>(i), edge, at};
        }
        previous = next;
        ax = bx;
        ay = by;
      }
    }
  }
}

}  // namespace

PickHit pickTopology(const Handle(V3d_View) & view, const std::vector<TopoDS_Shape>& solids, int x,
                     int y, double edgePixels) {
  PickHit hit;
  if (view.IsNull()) return hit;
  const Ray ray = rayAt(view, x, y);
  const double faceDepth = nearestFace(solids, ray, hit);
  nearestEdge(view, solids, ray, x, y, edgePixels, faceDepth, hit);
  return hit;
}

}  // namespace workstation
