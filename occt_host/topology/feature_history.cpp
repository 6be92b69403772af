#include "occt_host/topology/feature_history.h"

#include <BRepBndLib.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_ListIteratorOfListOfShape.hxx>

namespace occt_host {

namespace {

// The shapes `shape` became after one operation; itself when the operation kept it.
void step(const TopoDS_Shape& shape, const Handle(BRepTools_History) & history,
          TopTools_ListOfShape& out) {
  if (history.IsNull()) {
    out.Append(shape);
    return;
  }
  if (history->IsRemoved(shape)) return;
  const TopTools_ListOfShape& modified = history->Modified(shape);
  if (modified.IsEmpty()) {
    out.Append(shape);
    return;
  }
  for (TopTools_ListIteratorOfListOfShape it(modified); it.More(); it.Next())
    out.Append(it.Value());
}

void addImages(const TopoDS_Shape& face, const std::vector<Handle(BRepTools_History)>& histories,
               const TopTools_IndexedMapOfShape& faces, TopTools_IndexedMapOfShape& out) {
  TopTools_ListOfShape current;
  current.Append(face);
  for (const Handle(BRepTools_History) & history : histories) {
    TopTools_ListOfShape next;
    for (TopTools_ListIteratorOfListOfShape it(current); it.More(); it.Next())
      step(it.Value(), history, next);
    current = std::move(next);
  }
  for (TopTools_ListIteratorOfListOfShape it(current); it.More(); it.Next()) {
    if (faces.Contains(it.Value())) out.Add(it.Value());
  }
}

void addImages(const TopoDS_Shape& face, const Handle(BRepTools_History) & history,
               const TopTools_IndexedMapOfShape& faces, TopTools_IndexedMapOfShape& out) {
  TopTools_ListOfShape images;
  step(face, history, images);
  for (TopTools_ListIteratorOfListOfShape it(images); it.More(); it.Next()) {
    if (faces.Contains(it.Value())) out.Add(it.Value());
  }
}

}  // namespace

TopTools_IndexedMapOfShape imagesOf(const TopoDS_Shape& input,
                                    const Handle(BRepTools_History) & history,
                                    const TopTools_IndexedMapOfShape& faces) {
  TopTools_IndexedMapOfShape out;
  if (input.IsNull()) return out;
  TopTools_IndexedMapOfShape inputFaces;
  TopExp::MapShapes(input, TopAbs_FACE, inputFaces);
  return imagesOf(inputFaces, history, faces);
}

TopTools_IndexedMapOfShape imagesOf(const TopTools_IndexedMapOfShape& inputs,
                                    const Handle(BRepTools_History) & history,
                                    const TopTools_IndexedMapOfShape& faces) {
  TopTools_IndexedMapOfShape out;
  for (int i = 1; i <= inputs.Extent(); ++i) addImages(inputs(i), history, faces, out);
  return out;
}

HistoryRecord::HistoryRecord(const TopoDS_Shape& result, Handle(BRepTools_History) history,
                             std::size_t covers)
    : result_(result), covers_(covers) {
  if (!history.IsNull()) histories_.push_back(std::move(history));
}

HistoryRecord::HistoryRecord(const HistoryRecord& earlier, const TopoDS_Shape& result,
                             Handle(BRepTools_History) history, std::size_t covers)
    : result_(result), histories_(earlier.histories_), covers_(covers) {
  if (!history.IsNull()) histories_.push_back(history);
  for (const auto& [serial, made] : earlier.made_) made_[serial] = imagesOf(made, history, faces());
}

const TopTools_IndexedMapOfShape& HistoryRecord::faces() const {
  if (facesMapped_.load(std::memory_order_acquire)) return faces_;
  std::lock_guard<std::mutex> lock(facesMapMutex_);
  if (!facesMapped_.load(std::memory_order_relaxed)) {
    if (!result_.IsNull()) TopExp::MapShapes(result_, TopAbs_FACE, faces_);
    facesMapped_.store(true, std::memory_order_release);
  }
  return faces_;
}

void HistoryRecord::letFacesGo() const {
  std::lock_guard<std::mutex> lock(facesMapMutex_);
  faces_.Clear(true);
  facesMapped_.store(false, std::memory_order_release);
}

void HistoryRecord::setMade(std::uint64_t serial, TopTools_IndexedMapOfShape faces) {
  made_[serial] = std::move(faces);
}

TopTools_IndexedMapOfShape HistoryRecord::newFaces(const TopoDS_Shape& before) const {
  TopTools_IndexedMapOfShape beforeFaces;
  if (!before.IsNull()) TopExp::MapShapes(before, TopAbs_FACE, beforeFaces);
  TopTools_IndexedMapOfShape kept = follow(beforeFaces);
  const TopTools_IndexedMapOfShape& all = faces();
  TopTools_IndexedMapOfShape made;
  for (int i = 1; i <= all.Extent(); ++i) {
    if (!kept.Contains(all(i))) made.Add(all(i));
  }
  return made;
}

TopTools_IndexedMapOfShape HistoryRecord::follow(const TopTools_IndexedMapOfShape& faces) const {
  TopTools_IndexedMapOfShape out;
  const TopTools_IndexedMapOfShape& all = this->faces();
  for (int i = 1; i <= faces.Extent(); ++i) addImages(faces(i), histories_, all, out);
  return out;
}

const Bnd_Box& HistoryRecord::box(const TopoDS_Shape& subShape) const {
  std::call_once(boxesFilled_, [this] { fillBoxes(); });
  static const Bnd_Box kVoid;
  const Bnd_Box* found = boxes_.Seek(subShape);
  return found ? *found : kVoid;
}

std::shared_ptr<const FacesByFeature> HistoryRecord::cachedFaces() const {
  std::lock_guard<std::mutex> lock(facesMutex_);
  return byFeature_;
}

std::size_t HistoryRecord::cachedFacesDepth() const {
  std::lock_guard<std::mutex> lock(facesMutex_);
  return byFeatureDepth_;
}

void HistoryRecord::cacheFaces(std::shared_ptr<const FacesByFeature> faces,
                               std::size_t depth) const {
  std::lock_guard<std::mutex> lock(facesMutex_);
  byFeature_ = std::move(faces);
  byFeatureDepth_ = depth;
}

// Boxes from the exact geometry (no triangulation), slightly enlarged by the shapes'
// tolerances, so that a point on a face is always inside the face's box.
void HistoryRecord::fillBoxes() const {
  for (TopAbs_ShapeEnum type : {TopAbs_FACE, TopAbs_EDGE}) {
    TopTools_IndexedMapOfShape shapes;
    if (!result_.IsNull()) TopExp::MapShapes(result_, type, shapes);
    for (int i = 1; i <= shapes.Extent(); ++i) {
      Bnd_Box box;
      BRepBndLib::Add(shapes(i), box, false);
      boxes_.Bind(shapes(i), box);
    }
  }
}

}  // namespace occt_host
