#include "selection_descriptor.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepGProp.hxx>
#include <BRep_Tool.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Vertex.hxx>
#include <gp_Circ.hxx>
#include <gp_Pln.hxx>

#include <cmath>
#include <cstdio>
#include <memory>

#include "occt_host/model/body.h"
#include "occt_host/model/solid_feature.h"
#include "occt_host/topology/feature_faces.h"

namespace workstation {
namespace {

// Millimetres to a micrometre and below, without trailing zeros: the core matches within
// 0.001 mm.
std::string num(double v) {
  if (std::abs(v) < 5e-8) v = 0;
  char text[64];
  std::snprintf(text, sizeof text, "%.7f", v);
  std::string s = text;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

std::string point(const gp_XYZ& p) {
  return "[" + num(p.X()) + "," + num(p.Y()) + "," + num(p.Z()) + "]";
}

std::string jsonText(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (static_cast<unsigned char>(c) < 0x20) continue;
    out += c;
  }
  return out + "\"";
}

std::string size(double mm) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g", mm);
  return text;
}

// The solid feature that made `face`, as the body's face history has it.
std::shared_ptr<occt_host::SolidFeature> ownerOf(occt_host::Body& body, const TopoDS_Shape& face) {
  for (const auto& [feature, faces] : occt_host::featureFacesOfBody(body)) {
    if (faces.Contains(face)) return feature;
  }
  return nullptr;
}

// The feature that made a face holding `shape` (the face itself, or one beside the edge).
std::shared_ptr<occt_host::SolidFeature> ownerOfShape(occt_host::Body& body,
                                                      const TopoDS_Shape& shape) {
  if (shape.ShapeType() == TopAbs_FACE) return ownerOf(body, shape);
  for (TopExp_Explorer f(body.solid(), TopAbs_FACE); f.More(); f.Next()) {
    for (TopExp_Explorer e(f.Current(), TopAbs_EDGE); e.More(); e.Next()) {
      if (!e.Current().IsSame(shape)) continue;
      if (auto owner = ownerOf(body, f.Current())) return owner;
    }
  }
  return nullptr;
}

void nameOwner(occt_host::Body* body, const TopoDS_Shape& shape,
               const std::vector<ItemRecord>& items, PickedTopology& out) {
  if (body == nullptr) return;
  std::shared_ptr<occt_host::SolidFeature> owner = ownerOfShape(*body, shape);
  if (!owner) return;
  out.itemName = owner->displayName();
  for (const ItemRecord& item : items) {
    for (const std::string& object : item.objects) {
      if (object != owner->displayName()) continue;
      out.item = item.id;
      out.itemName = itemLabel(item);
      return;
    }
  }
}

std::string describeFace(const TopoDS_Face& face, const gp_Pnt& picked, PickedTopology& out) {
  BRepAdaptor_Surface surface(face);
  GProp_GProps props;
  BRepGProp::SurfaceProperties(face, props);
  switch (surface.GetType()) {
    case GeomAbs_Plane: {
      out.kind = "plane";
      out.summary = "plane, " + size(props.Mass()) + " mm2";
      gp_Pln plane = surface.Plane();
      gp_Dir normal = plane.Axis().Direction();
      if (face.Orientation() == TopAbs_REVERSED) normal.Reverse();
      // The point under the cursor lies on the face; on its plane to the last digit.
      const gp_XYZ toPoint = picked.XYZ() - plane.Location().XYZ();
      const gp_XYZ onPlane = picked.XYZ() - plane.Axis().Direction().XYZ() *
                                                toPoint.Dot(plane.Axis().Direction().XYZ());
      return "\"type\":\"plane\",\"vDir\":" + point(normal.XYZ()) + ",\"loc\":" + point(onPlane);
    }
    case GeomAbs_Cylinder:
      out.kind = "cylinder";
      out.summary = "cylinder, radius " + size(surface.Cylinder().Radius()) + " mm";
      return {};
    case GeomAbs_Cone:
      out.kind = "cone";
      break;
    case GeomAbs_Sphere:
      out.kind = "sphere";
      break;
    case GeomAbs_Torus:
      out.kind = "torus";
      break;
    default:
      out.kind = "surface";
      break;
  }
  out.summary = out.kind + ", " + size(props.Mass()) + " mm2";
  return {};
}

std::string ends(const TopoDS_Edge& edge) {
  TopoDS_Vertex first, last;
  TopExp::Vertices(edge, first, last);
  if (first.IsNull() || last.IsNull()) return {};
  return ",\"start\":" + point(BRep_Tool::Pnt(first).XYZ()) +
         ",\"end\":" + point(BRep_Tool::Pnt(last).XYZ());
}

std::string describeEdge(const TopoDS_Edge& edge, PickedTopology& out) {
  BRepAdaptor_Curve curve(edge);
  GProp_GProps props;
  BRepGProp::LinearProperties(edge, props);
  const double length = props.Mass();
  if (curve.GetType() == GeomAbs_Line) {
    out.kind = "line";
    out.summary = "line, " + size(length) + " mm";
    return "\"type\":\"line\"" + ends(edge);
  }
  if (curve.GetType() == GeomAbs_Circle) {
    const gp_Circ circle = curve.Circle();
    const bool closed = BRep_Tool::IsClosed(edge) ||
                        std::abs(curve.LastParameter() - curve.FirstParameter() - 2 * M_PI) < 1e-9;
    out.kind = closed ? "circle" : "arc";
    out.summary = out.kind + ", radius " + size(circle.Radius()) + " mm";
    std::string d =
        "\"type\":\"" + out.kind + "\",\"vDir\":" + point(circle.Axis().Direction().XYZ()) +
        ",\"center\":" + point(circle.Location().XYZ()) + ",\"radius\":" + num(circle.Radius());
    return closed ? d : d + ends(edge);
  }
  out.kind = "curve";
  out.summary = "curve, " + size(length) + " mm";
  const gp_Pnt mid = curve.Value((curve.FirstParameter() + curve.LastParameter()) / 2);
  return "\"type\":\"bspline\"" + ends(edge) + ",\"midPt\":" + point(mid.XYZ());
}

}  // namespace

PickedTopology describePick(occt_host::Body* body, const TopoDS_Shape& shape, const gp_Pnt& picked,
                            const std::vector<ItemRecord>& items) {
  PickedTopology out;
  std::string geometry;
  try {
    nameOwner(body, shape, items, out);
    if (shape.ShapeType() == TopAbs_FACE) {
      out.topoType = "face";
      geometry = describeFace(TopoDS::Face(shape), picked, out);
    } else if (shape.ShapeType() == TopAbs_EDGE) {
      out.topoType = "edge";
      geometry = describeEdge(TopoDS::Edge(shape), out);
    }
  } catch (...) {
    geometry.clear();
  }
  const std::string what = out.topoType == "face" ? "Face" : "Edge";
  out.summary = what + (out.itemName.empty() ? "" : " of " + out.itemName) + ": " + out.summary;
  if (!geometry.empty() && !out.item.empty())
    out.descriptor = "{\"featureId\":" + jsonText(out.item) + ",\"topoType\":\"" + out.topoType +
                     "\"," + geometry + "}";
  return out;
}

std::string selectionMessage(const PickedTopology* picked) {
  if (picked == nullptr) return "{\"type\":\"host:selection\",\"selection\":null}";
  return "{\"type\":\"host:selection\",\"selection\":{\"topoType\":" + jsonText(picked->topoType) +
         ",\"kind\":" + jsonText(picked->kind) + ",\"item\":" + jsonText(picked->item) +
         ",\"itemName\":" + jsonText(picked->itemName) +
         ",\"summary\":" + jsonText(picked->summary) +
         ",\"descriptor\":" + (picked->descriptor.empty() ? "null" : picked->descriptor) + "}}";
}

}  // namespace workstation
