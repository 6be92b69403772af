#include "kernel/shell_check.h"

#include <BRepCheck_ListOfStatus.hxx>
#include <BRepCheck_Shell.hxx>
#include <BRep_Tool.hxx>
#include <NCollection_IndexedDataMap.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopTools_ShapeMapHasher.hxx>
#include <TopoDS.hxx>

#include <numeric>
#include <vector>

namespace occt_host {

namespace {

bool oriented(const TopoDS_Shape& shape) {
  return shape.Orientation() == TopAbs_FORWARD || shape.Orientation() == TopAbs_REVERSED;
}

// The faces an edge bounds, as often as it bounds each, and how each face holds it.
struct Uses {
  int count = 0;
  int face[2] = {0, 0};
  TopAbs_Orientation orientation[2] = {TopAbs_FORWARD, TopAbs_FORWARD};
};

using EdgeUses = NCollection_IndexedDataMap<TopoDS_Shape, Uses, TopTools_ShapeMapHasher>;

int root(std::vector<int>& parent, int i) {
  while (parent[i] != i) i = parent[i] = parent[parent[i]];
  return i;
}

enum class Verdict { Valid, AskTheKernel };

// Every face once and oriented, every edge oriented: then each edge of two faces, or of one
// face twice (a seam), or degenerate and of one face, and faces that hold a shared edge in
// opposite directions, all linked through shared edges, are what the kernel's check accepts.
Verdict onePass(const TopoDS_Shell& shell) {
  TopTools_IndexedMapOfShape faces;
  EdgeUses uses;
  for (TopExp_Explorer f(shell, TopAbs_FACE); f.More(); f.Next()) {
    const TopoDS_Shape& face = f.Current();
    if (!oriented(face)) return Verdict::AskTheKernel;
    const int index = faces.Add(face);
    if (index != faces.Extent()) return Verdict::AskTheKernel;  // the same face twice
    for (TopExp_Explorer e(face, TopAbs_EDGE); e.More(); e.Next()) {
      if (!oriented(e.Current())) return Verdict::AskTheKernel;
      int at = uses.FindIndex(e.Current());
      if (at == 0) at = uses.Add(e.Current(), Uses());
      Uses& use = uses.ChangeFromIndex(at);
      if (use.count == 2) return Verdict::AskTheKernel;  // an edge of three faces or more
      use.face[use.count] = index;
      use.orientation[use.count] = e.Current().Orientation();
      ++use.count;
    }
  }
  if (faces.IsEmpty()) return Verdict::AskTheKernel;
  std::vector<int> parent(faces.Extent() + 1);
  std::iota(parent.begin(), parent.end(), 0);
  int sets = faces.Extent();
  for (int i = 1; i <= uses.Extent(); ++i) {
    const Uses& use = uses(i);
    if (use.count == 1) {
      if (BRep_Tool::Degenerated(TopoDS::Edge(uses.FindKey(i)))) continue;
      return Verdict::AskTheKernel;  // a free edge
    }
    if (use.face[0] == use.face[1]) continue;  // a seam
    if (use.orientation[0] == use.orientation[1] &&
        !BRep_Tool::Degenerated(TopoDS::Edge(uses.FindKey(i))))
      return Verdict::AskTheKernel;  // two faces that disagree on their side
    const int a = root(parent, use.face[0]), b = root(parent, use.face[1]);
    if (a != b) {
      parent[a] = b;
      --sets;
    }
  }
  return sets == 1 ? Verdict::Valid : Verdict::AskTheKernel;
}

bool noError(const BRepCheck_ListOfStatus& statuses) {
  for (BRepCheck_ListOfStatus::Iterator it(statuses); it.More(); it.Next()) {
    if (it.Value() != BRepCheck_NoError) return false;
  }
  return true;
}

}  // namespace

bool shellIsValid(const TopoDS_Shell& shell) {
  if (onePass(shell) == Verdict::Valid) return true;
  BRepCheck_Shell check(shell);
  if (!noError(check.Status())) return false;
  return check.Closed() == BRepCheck_NoError && check.Orientation() == BRepCheck_NoError;
}

}  // namespace occt_host
