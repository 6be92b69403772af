// Per-feature shape history: how each computation of a body's solid turned the shapes it
// started from into its result, and which faces of the result each feature made. With it
// the host answers "which faces of the body's current solid belong to feature F" from the
// kernel's own records, exactly, however many later features cut or round that solid.
//
// How a SolidFeature takes part (any subclass, in its build()):
//
//   TopoDS_Shape MyFeature::build(const TopoDS_Shape& before) {
//     BRepFilletAPI_MakeFillet algo(before);  // any algorithm with Modified/Generated/IsDeleted
//     ...
//     algo.Build();
//     publishHistory(FeatureHistory::of(algo, {before}));
//     return algo.Shape();
//   }
//
// `before` and every tool whose faces may appear in the result go in the argument list.
// The faces a feature made are, by default, the faces of its result that do not come from
// the solid before it (a pad's side, top and bottom faces, a pocket's walls, a fillet's
// rounds, a shell's inner faces); a feature that knows better names them with
// FeatureHistory::made. A feature that publishes nothing is treated as keeping every
// sub-shape of the solid before that still appears in its result, and as making the rest.
#pragma once

#include <BRepTools_History.hxx>
#include <Bnd_Box.hxx>
#include <NCollection_DataMap.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopTools_ListOfShape.hxx>
#include <TopTools_ShapeMapHasher.hxx>
#include <TopoDS_Shape.hxx>

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace occt_host {

// What a feature publishes from build().
struct FeatureHistory {
  // Input sub-shapes (of the solid before and of the tools) to the result's sub-shapes
  // that replace them. Null: input sub-shapes found in the result are kept as they are.
  Handle(BRepTools_History) history;
  // The faces of the result this feature made, when the default rule does not fit.
  bool madeGiven = false;
  TopTools_ListOfShape made;

  // The history of any kernel algorithm with the standard history methods: which faces it
  // removed and which it replaced, the only shapes a record follows. A face kept as it was is
  // left out, as "kept" reads it anyway. So is a face the algorithm calls deleted that its
  // result still holds: the fillet says so of every vertex and edge it did not touch, and
  // recording those as removed would keep, at each fillet of a long chain, an entry for every
  // shape of its solid.
  template <class Algo>
  static FeatureHistory of(Algo& algo, std::initializer_list<TopoDS_Shape> inputs) {
    FeatureHistory published;
    published.history = new BRepTools_History;
    TopTools_IndexedMapOfShape resultFaces;
    TopExp::MapShapes(algo.Shape(), TopAbs_FACE, resultFaces);
    for (const TopoDS_Shape& input : inputs) {
      if (input.IsNull()) continue;
      TopTools_IndexedMapOfShape faces;
      TopExp::MapShapes(input, TopAbs_FACE, faces);
      for (int i = 1; i <= faces.Extent(); ++i) published.record(algo, faces(i), resultFaces);
    }
    return published;
  }

 private:
  template <class Algo>
  void record(Algo& algo, const TopoDS_Shape& face, const TopTools_IndexedMapOfShape& resultFaces) {
    if (algo.IsDeleted(face)) {
      if (!resultFaces.Contains(face)) history->Remove(face);
      return;
    }
    const TopTools_ListOfShape& modified = algo.Modified(face);
    if (modified.Extent() == 1 && modified.First().IsSame(face)) return;
    for (TopTools_ListOfShape::Iterator it(modified); it.More(); it.Next())
      history->AddModified(face, it.Value());
  }
};

// The images in `faces` of the faces of `input` after `history` (null: those present).
TopTools_IndexedMapOfShape imagesOf(const TopoDS_Shape& input,
                                    const Handle(BRepTools_History) & history,
                                    const TopTools_IndexedMapOfShape& faces);

// The images in `faces` of `inputs` after `history` (null: those present).
TopTools_IndexedMapOfShape imagesOf(const TopTools_IndexedMapOfShape& inputs,
                                    const Handle(BRepTools_History) & history,
                                    const TopTools_IndexedMapOfShape& faces);

// Faces of a solid, by the serial of the feature that made them.
using FacesByFeature = std::map<std::uint64_t, TopTools_IndexedMapOfShape>;

// One computation of a body's solid, kept with its result. A joint cut stands for the run
// of features it computed at once, and records the faces each of them made.
class HistoryRecord {
 public:
  // A computation of `covers` features ending with the feature that keeps the record.
  HistoryRecord(const TopoDS_Shape& result, Handle(BRepTools_History) history, std::size_t covers);
  // `earlier` carried on by one more operation (`history`) to `result`: the record
  // stands for the same solid before and `covers` features. The faces `earlier` recorded
  // as made follow to `result`; the new features' faces are set by the caller.
  HistoryRecord(const HistoryRecord& earlier, const TopoDS_Shape& result,
                Handle(BRepTools_History) history, std::size_t covers);

  std::size_t covers() const { return covers_; }
  // The result's faces, mapped on first ask.
  const TopTools_IndexedMapOfShape& faces() const;
  // Lets the map of the result's faces go, once a later computation has carried the solid
  // on: every result of a long chain keeping one would hold, in all, the square of the
  // chain's length. Asked again, the map is made again, in the same order.
  void letFacesGo() const;
  // Faces made, by feature serial.
  const std::map<std::uint64_t, TopTools_IndexedMapOfShape>& made() const { return made_; }
  void setMade(std::uint64_t serial, TopTools_IndexedMapOfShape faces);
  // The faces of the result that are not images of `before`'s faces.
  TopTools_IndexedMapOfShape newFaces(const TopoDS_Shape& before) const;

  // `faces` (of the solid this computation started from) as they stand in its result.
  TopTools_IndexedMapOfShape follow(const TopTools_IndexedMapOfShape& faces) const;

  // The bounding box of a face or an edge of the result, computed once per result.
  const Bnd_Box& box(const TopoDS_Shape& subShape) const;

  // Every feature's faces on this result (feature_faces.h), once computed, and how many
  // computations from the body's start they stand after; null when not kept (or given up).
  std::shared_ptr<const FacesByFeature> cachedFaces() const;
  std::size_t cachedFacesDepth() const;
  void cacheFaces(std::shared_ptr<const FacesByFeature> faces, std::size_t depth) const;

 private:
  void fillBoxes() const;

  TopoDS_Shape result_;
  // The operations from the solid before to the result, first to last.
  std::vector<Handle(BRepTools_History)> histories_;
  std::size_t covers_;
  // Readers may map the faces at once, as they may fill the boxes; letting them go is the
  // model's own doing, with no reader about.
  mutable std::mutex facesMapMutex_;
  mutable std::atomic<bool> facesMapped_{false};
  mutable TopTools_IndexedMapOfShape faces_;
  std::map<std::uint64_t, TopTools_IndexedMapOfShape> made_;
  mutable std::once_flag boxesFilled_;
  mutable NCollection_DataMap<TopoDS_Shape, Bnd_Box, TopTools_ShapeMapHasher> boxes_;
  mutable std::mutex facesMutex_;
  mutable std::shared_ptr<const FacesByFeature> byFeature_;
  mutable std::size_t byFeatureDepth_ = 0;
};

using HistoryRecordPtr = std::shared_ptr<const HistoryRecord>;

}  // namespace occt_host
