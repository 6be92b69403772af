#include "features/boolean/boolean_ops.h"

#include <BRepAlgoAPI_BooleanOperation.hxx>
#include <BRepAlgoAPI_Common.hxx>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepAlgoAPI_Fuse.hxx>
#include <BRep_Builder.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_ListOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Iterator.hxx>
#include <TopoDS_Shell.hxx>
#include <TopoDS_Solid.hxx>

#include <atomic>
#include <sstream>
#include <stdexcept>

#include "occt_host/kernel/operation_budget.h"

namespace occt_host::booleans {

namespace {

thread_local WarningWatch* watching = nullptr;
std::atomic<bool> breakNext{false};

// The shape's first solid with its first shell short of one face.
TopoDS_Shape withoutAFace(const TopoDS_Shape& shape) {
  TopExp_Explorer solids(shape, TopAbs_SOLID);
  if (!solids.More()) return shape;
  TopExp_Explorer shells(solids.Current(), TopAbs_SHELL);
  if (!shells.More()) return shape;
  BRep_Builder builder;
  TopoDS_Shell shell;
  builder.MakeShell(shell);
  TopoDS_Iterator face(shells.Current());
  for (face.Next(); face.More(); face.Next()) builder.Add(shell, face.Value());
  TopoDS_Solid solid;
  builder.MakeSolid(solid);
  builder.Add(solid, shell);
  return solid;
}

// What an operation hands back, one face short when a test planted a fault in it.
TopoDS_Shape delivered(const TopoDS_Shape& shape) {
  return breakNext.exchange(false) ? withoutAFace(shape) : shape;
}

TopTools_ListOfShape listOf(const std::vector<TopoDS_Shape>& shapes) {
  TopTools_ListOfShape list;
  for (const TopoDS_Shape& shape : shapes) list.Append(shape);
  return list;
}

// Runs the operation within its time budget and turns the kernel's alerts into the
// exception's text.
TopoDS_Shape run(BRepAlgoAPI_BooleanOperation& operation, const TopoDS_Shape& object,
                 const std::vector<TopoDS_Shape>& tools, const std::string& what) {
  OperationBudget budget(what);
  // The arguments are solids the kernel made and checked, or copies of them: none is inside
  // out, and looking for one classifies every solid once more.
  operation.SetCheckInverted(false);
  operation.SetArguments(listOf({object}));
  operation.SetTools(listOf(tools));
  operation.Build(budget.range());
  budget.throwIfInterrupted();
  if (operation.HasErrors() || !operation.IsDone()) {
    std::ostringstream alerts;
    operation.DumpErrors(alerts);
    std::string text = alerts.str();
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    throw std::runtime_error(what + " failed" + (text.empty() ? "" : ": " + text));
  }
  if (watching) watching->note(operation.HasWarnings());
  return operation.Shape();
}

void keepHistory(BRepAlgoAPI_BooleanOperation& operation, Handle(BRepTools_History) * history) {
  if (history) *history = operation.History();
}

}  // namespace

TopoDS_Shape fuse(const TopoDS_Shape& object, const TopoDS_Shape& tool, const std::string& owner,
                  Handle(BRepTools_History) * history) {
  return fuseMerged(object, {tool}, owner, history);
}

TopoDS_Shape fuseMerged(const TopoDS_Shape& object, const std::vector<TopoDS_Shape>& tools,
                        const std::string& owner, Handle(BRepTools_History) * history) {
  BRepAlgoAPI_Fuse operation;
  run(operation, object, tools, owner + ": the union with the body's solid");
  // The merged faces are recorded in the operation's history as modified.
  operation.SimplifyResult();
  keepHistory(operation, history);
  return delivered(operation.Shape());
}

TopoDS_Shape fuseAll(const TopoDS_Shape& object, const std::vector<TopoDS_Shape>& tools,
                     const std::string& owner, Handle(BRepTools_History) * history) {
  BRepAlgoAPI_Fuse operation;
  TopoDS_Shape shape = run(operation, object, tools, owner + ": the union with the body's solid");
  keepHistory(operation, history);
  return delivered(shape);
}

TopoDS_Shape cut(const TopoDS_Shape& object, const std::vector<TopoDS_Shape>& tools,
                 const std::string& owner, Handle(BRepTools_History) * history) {
  BRepAlgoAPI_Cut operation;
  TopoDS_Shape shape = run(operation, object, tools, owner + ": the cut from the body's solid");
  keepHistory(operation, history);
  return delivered(shape);
}

TopoDS_Shape common(const TopoDS_Shape& object, const TopoDS_Shape& tool, const std::string& owner,
                    Handle(BRepTools_History) * history) {
  BRepAlgoAPI_Common operation;
  TopoDS_Shape shape =
      run(operation, object, {tool}, owner + ": the intersection with the body's solid");
  keepHistory(operation, history);
  return delivered(shape);
}

WarningWatch::WarningWatch() : outer_(watching) {
  watching = this;
}

WarningWatch::~WarningWatch() {
  watching = outer_;
  if (outer_) outer_->note(warned_);
}

void WarningWatch::note(bool warned) {
  warned_ = warned_ || warned;
}

void testing::breakNextResult() {
  breakNext = true;
}

bool hasSolid(const TopoDS_Shape& shape) {
  return !shape.IsNull() && TopExp_Explorer(shape, TopAbs_SOLID).More();
}

}  // namespace occt_host::booleans
