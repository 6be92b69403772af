#include <gtest/gtest.h>

#include <BRepFilletAPI_MakeFillet.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRep_Tool.hxx>
#include <TopExp.hxx>
#include <TopoDS.hxx>

#include <cmath>

#include "occt_host/topology/feature_history.h"

namespace occt_host::testing {
namespace {

// The edge of a 20 x 20 x 10 box along x at y = 0, z = 10.
TopoDS_Edge topFrontEdge(const TopoDS_Shape& box) {
  TopTools_IndexedMapOfShape edges;
  TopExp::MapShapes(box, TopAbs_EDGE, edges);
  for (int i = 1; i <= edges.Extent(); ++i) {
    TopoDS_Vertex a, b;
    TopExp::Vertices(TopoDS::Edge(edges(i)), a, b);
    gp_Pnt p = BRep_Tool::Pnt(a), q = BRep_Tool::Pnt(b);
    if (std::abs(p.Y()) < 1e-9 && std::abs(q.Y()) < 1e-9 && std::abs(p.Z() - 10) < 1e-9 &&
        std::abs(q.Z() - 10) < 1e-9)
      return TopoDS::Edge(edges(i));
  }
  return TopoDS_Edge();
}

// The fillet calls every vertex and edge of its input deleted, those it kept as well. A
// published history must not say so: over a chain of fillets it would hold an entry for every
// shape of the solid at every fillet.
TEST(FeatureHistoryTest, AFilletsHistoryRemovesNothingItsResultStillHolds) {
  TopoDS_Shape box = BRepPrimAPI_MakeBox(20, 20, 10).Shape();
  TopoDS_Edge edge = topFrontEdge(box);
  ASSERT_FALSE(edge.IsNull());
  BRepFilletAPI_MakeFillet algo(box);
  algo.Add(2, edge);
  algo.Build();
  ASSERT_TRUE(algo.IsDone());
  FeatureHistory published = FeatureHistory::of(algo, {box});
  ASSERT_FALSE(published.history.IsNull());

  int kept = 0, modified = 0;
  for (TopAbs_ShapeEnum type : {TopAbs_VERTEX, TopAbs_EDGE, TopAbs_FACE}) {
    TopTools_IndexedMapOfShape before, after;
    TopExp::MapShapes(box, type, before);
    TopExp::MapShapes(algo.Shape(), type, after);
    for (int i = 1; i <= before.Extent(); ++i) {
      const TopoDS_Shape& shape = before(i);
      if (after.Contains(shape)) {
        EXPECT_FALSE(published.history->IsRemoved(shape)) << type;
      }
      if (type != TopAbs_FACE) continue;
      const bool same = published.history->Modified(shape).IsEmpty();
      (same ? kept : modified) += 1;
    }
  }
  // The top and the front are trimmed along the round, and the two ends take its profile; the
  // back and the bottom stay as they were.
  EXPECT_EQ(modified, 4);
  EXPECT_EQ(kept, 2);
  // Nothing is removed: the six faces are all there, four of them trimmed.
  TopTools_IndexedMapOfShape faces;
  TopExp::MapShapes(box, TopAbs_FACE, faces);
  for (int i = 1; i <= faces.Extent(); ++i) EXPECT_FALSE(published.history->IsRemoved(faces(i)));
}

// A record carried on by a later one lets its face map go; asked again, it maps the same faces
// in the same order, which the walks along a chain and the descriptors' indices rely on.
TEST(FeatureHistoryTest, AFaceMapLetGoIsMadeAgainTheSame) {
  TopoDS_Shape box = BRepPrimAPI_MakeBox(20, 20, 10).Shape();
  BRepFilletAPI_MakeFillet algo(box);
  algo.Add(2, topFrontEdge(box));
  algo.Build();
  ASSERT_TRUE(algo.IsDone());
  HistoryRecord record(algo.Shape(), FeatureHistory::of(algo, {box}).history, 1);
  const TopTools_IndexedMapOfShape first = record.faces();
  // The box's six faces and the round.
  ASSERT_EQ(first.Extent(), 7);
  record.letFacesGo();
  const TopTools_IndexedMapOfShape& again = record.faces();
  ASSERT_EQ(again.Extent(), first.Extent());
  for (int i = 1; i <= first.Extent(); ++i) EXPECT_TRUE(again(i).IsEqual(first(i))) << i;
  // What the record follows through its history is found on the map made again.
  TopTools_IndexedMapOfShape before;
  TopExp::MapShapes(box, TopAbs_FACE, before);
  record.letFacesGo();
  EXPECT_EQ(record.follow(before).Extent(), 6);
  record.letFacesGo();
  EXPECT_EQ(record.newFaces(box).Extent(), 1);
}

}  // namespace
}  // namespace occt_host::testing
