#include "kernel/solid_check.h"

#include <BRepCheck_Analyzer.hxx>
#include <BRepCheck_ListOfStatus.hxx>
#include <BRepCheck_Solid.hxx>
#include <BRepTools.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <Geom_Plane.hxx>
#include <Geom_Surface.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Iterator.hxx>
#include <TopoDS_Wire.hxx>

#include <algorithm>
#include <numeric>
#include <vector>

#include "kernel/shell_check.h"

namespace occt_host {

namespace {

// Below this many wires a face is checked as it stands; a group holds about this many.
constexpr std::size_t kManyWires = 24;
constexpr std::size_t kGroupSize = 24;

struct Box {
  double u0 = 0, v0 = 0, u1 = 0, v1 = 0;
};

bool meet(const Box& a, const Box& b) {
  return a.u0 <= b.u1 && b.u0 <= a.u1 && a.v0 <= b.v1 && b.v0 <= a.v1;
}

std::size_t root(std::vector<std::size_t>& parent, std::size_t i) {
  while (parent[i] != i) i = parent[i] = parent[parent[i]];
  return i;
}

// The inner wires in sets such that boxes from two sets never meet: a sweep along u joins
// every pair whose boxes meet.
std::vector<std::vector<std::size_t>> meetingSets(const std::vector<Box>& boxes) {
  std::vector<std::size_t> order(boxes.size()), parent(boxes.size());
  std::iota(order.begin(), order.end(), 0);
  std::iota(parent.begin(), parent.end(), 0);
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return boxes[a].u0 < boxes[b].u0; });
  std::vector<std::size_t> open;
  for (std::size_t i : order) {
    open.erase(std::remove_if(open.begin(), open.end(),
                              [&](std::size_t j) { return boxes[j].u1 < boxes[i].u0; }),
               open.end());
    for (std::size_t j : open) {
      if (meet(boxes[i], boxes[j])) parent[root(parent, i)] = root(parent, j);
    }
    open.push_back(i);
  }
  std::vector<std::vector<std::size_t>> sets(boxes.size());
  for (std::size_t i : order) sets[root(parent, i)].push_back(i);
  sets.erase(std::remove_if(sets.begin(), sets.end(), [](const auto& s) { return s.empty(); }),
             sets.end());
  return sets;
}

// A face on the plane of `face` bounded by `outer` and `inners`, oriented as `face` is.
TopoDS_Face partOf(const TopoDS_Face& face, const TopoDS_Wire& outer,
                   const std::vector<TopoDS_Wire>& inners) {
  TopLoc_Location location;
  const Handle(Geom_Surface)& surface = BRep_Tool::Surface(face, location);
  BRep_Builder builder;
  TopoDS_Face part;
  builder.MakeFace(part, surface, location, BRep_Tool::Tolerance(face));
  builder.Add(part, outer);
  for (const TopoDS_Wire& wire : inners) builder.Add(part, wire);
  part.Orientation(face.Orientation());
  return part;
}

// A plane face with many inner wires, checked as parts that together compare every pair
// of wires whose boxes meet, and each inner wire with the outer one.
bool manyWiredFaceIsValid(const TopoDS_Face& face, const TopoDS_Wire& outer,
                          const std::vector<TopoDS_Wire>& inners) {
  const TopoDS_Face forward = TopoDS::Face(face.Oriented(TopAbs_FORWARD));
  std::vector<Box> boxes;
  boxes.reserve(inners.size());
  for (const TopoDS_Wire& wire : inners) {
    Box box;
    BRepTools::UVBounds(forward, wire, box.u0, box.u1, box.v0, box.v1);
    boxes.push_back(box);
  }
  std::vector<TopoDS_Wire> group;
  for (const auto& set : meetingSets(boxes)) {
    for (std::size_t i : set) group.push_back(inners[i]);
    if (group.size() < kGroupSize) continue;
    if (!BRepCheck_Analyzer(partOf(forward, outer, group)).IsValid()) return false;
    group.clear();
  }
  return group.empty() || BRepCheck_Analyzer(partOf(forward, outer, group)).IsValid();
}

// The wires of a plane face with many of them, the outer one apart; false for any other
// face, which is checked as it stands.
bool splitWires(const TopoDS_Face& face, TopoDS_Wire& outer, std::vector<TopoDS_Wire>& inners) {
  if (Handle(Geom_Plane)::DownCast(BRep_Tool::Surface(face)).IsNull()) return false;
  const TopoDS_Face forward = TopoDS::Face(face.Oriented(TopAbs_FORWARD));
  outer = BRepTools::OuterWire(forward);
  if (outer.IsNull()) return false;
  std::size_t wires = 0;
  for (TopoDS_Iterator it(forward); it.More(); it.Next()) {
    if (it.Value().ShapeType() != TopAbs_WIRE) return false;
    if (++wires > 1 && !it.Value().IsSame(outer)) inners.push_back(TopoDS::Wire(it.Value()));
  }
  if (wires - inners.size() != 1) return false;  // the outer wire appears once
  return inners.size() >= kManyWires;
}

bool noError(const BRepCheck_ListOfStatus& statuses) {
  for (BRepCheck_ListOfStatus::Iterator it(statuses); it.More(); it.Next()) {
    if (it.Value() != BRepCheck_NoError) return false;
  }
  return true;
}

// Every face but the `known` ones, the many-wired ones in parts and the others in one
// compound; then each shell and solid as they stand.
bool checkedByParts(const TopoDS_Shape& shape, const TopTools_IndexedMapOfShape* known) {
  BRep_Builder builder;
  TopoDS_Compound others;
  builder.MakeCompound(others);
  for (TopExp_Explorer faces(shape, TopAbs_FACE); faces.More(); faces.Next()) {
    const TopoDS_Face& face = TopoDS::Face(faces.Current());
    if (known && known->Contains(face)) continue;
    TopoDS_Wire outer;
    std::vector<TopoDS_Wire> inners;
    if (!splitWires(face, outer, inners)) {
      builder.Add(others, face);
      continue;
    }
    if (!manyWiredFaceIsValid(face, outer, inners)) return false;
  }
  if (!BRepCheck_Analyzer(others).IsValid()) return false;
  for (TopExp_Explorer shells(shape, TopAbs_SHELL); shells.More(); shells.Next()) {
    if (!shellIsValid(TopoDS::Shell(shells.Current()))) return false;
  }
  for (TopExp_Explorer solids(shape, TopAbs_SOLID); solids.More(); solids.Next()) {
    if (!noError(BRepCheck_Solid(TopoDS::Solid(solids.Current())).Status())) return false;
  }
  return true;
}

bool hasManyWiredFace(const TopoDS_Shape& shape) {
  for (TopExp_Explorer faces(shape, TopAbs_FACE); faces.More(); faces.Next()) {
    std::size_t wires = 0;
    for (TopoDS_Iterator it(faces.Current()); it.More() && wires <= kManyWires; it.Next()) ++wires;
    if (wires > kManyWires) return true;
  }
  return false;
}

}  // namespace

bool solidIsValid(const TopoDS_Shape& shape) {
  if (!hasManyWiredFace(shape)) return BRepCheck_Analyzer(shape).IsValid();
  return checkedByParts(shape, nullptr);
}

bool solidIsValidAfter(const TopoDS_Shape& result, const TopoDS_Shape& before) {
  if (before.IsNull()) return solidIsValid(result);
  TopTools_IndexedMapOfShape known;
  TopExp::MapShapes(before, TopAbs_FACE, known);
  return checkedByParts(result, &known);
}

bool solidIsValidGiven(const TopoDS_Shape& result, const TopTools_IndexedMapOfShape& known) {
  return checkedByParts(result, &known);
}

}  // namespace occt_host
