#include "exchange/step_write_order.h"

#include <BRep_Builder.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS_Iterator.hxx>

#include <algorithm>
#include <utility>
#include <vector>

namespace occt_host {

namespace {

int edgeCount(const TopoDS_Shape& face) {
  int count = 0;
  for (TopExp_Explorer edge(face, TopAbs_EDGE); edge.More(); edge.Next()) ++count;
  return count;
}

// An empty shape of the same kind, orientation, placement and flags, to fill again.
TopoDS_Shape emptyLike(const TopoDS_Shape& shape) {
  TopoDS_Shape copy = shape.EmptyCopied();
  copy.Closed(shape.Closed());
  copy.Orientable(shape.Orientable());
  copy.Infinite(shape.Infinite());
  copy.Convex(shape.Convex());
  return copy;
}

TopoDS_Shape reorderedShell(const TopoDS_Shape& shell) {
  // The builder takes each child as placed in the whole and stores it relative to the new
  // shell, which stands where the old one did: each comes back as it was.
  std::vector<std::pair<int, TopoDS_Shape>> faces;
  for (TopoDS_Iterator child(shell); child.More(); child.Next())
    faces.emplace_back(edgeCount(child.Value()), child.Value());
  std::stable_sort(faces.begin(), faces.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  TopoDS_Shape copy = emptyLike(shell);
  BRep_Builder builder;
  for (const auto& face : faces) builder.Add(copy, face.second);
  return copy;
}

}  // namespace

TopoDS_Shape inStepWriteOrder(const TopoDS_Shape& shape) {
  switch (shape.IsNull() ? TopAbs_SHAPE : shape.ShapeType()) {
    case TopAbs_SHELL:
      return reorderedShell(shape);
    case TopAbs_SOLID:
    case TopAbs_COMPSOLID:
    case TopAbs_COMPOUND: {
      TopoDS_Shape copy = emptyLike(shape);
      BRep_Builder builder;
      for (TopoDS_Iterator child(shape); child.More(); child.Next())
        builder.Add(copy, inStepWriteOrder(child.Value()));
      return copy;
    }
    default:
      return shape;
  }
}

}  // namespace occt_host
