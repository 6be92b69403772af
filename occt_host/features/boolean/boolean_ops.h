// The kernel's boolean operations as the features use them: each returns the result or
// throws with the kernel's own text. When `history` is given it receives the operation's
// history of every argument and tool (see feature_history.h).
#pragma once

#include <BRepTools_History.hxx>
#include <TopoDS_Shape.hxx>

#include <string>
#include <vector>

namespace occt_host::booleans {

// The union, with the faces that meet in one surface merged into one.
TopoDS_Shape fuse(const TopoDS_Shape& object, const TopoDS_Shape& tool, const std::string& owner,
                  Handle(BRepTools_History) * history = nullptr);
// The same with every tool at once: the union of a run of additions.
TopoDS_Shape fuseMerged(const TopoDS_Shape& object, const std::vector<TopoDS_Shape>& tools,
                        const std::string& owner, Handle(BRepTools_History) * history = nullptr);
// One union with every tool at once, without merging faces afterwards: for many copies of
// one shape (patterns, mirrors), where a merge would cost more than the union.
TopoDS_Shape fuseAll(const TopoDS_Shape& object, const std::vector<TopoDS_Shape>& tools,
                     const std::string& owner, Handle(BRepTools_History) * history = nullptr);
// One cut with every tool at once, much cheaper than the same cuts one after the other.
TopoDS_Shape cut(const TopoDS_Shape& object, const std::vector<TopoDS_Shape>& tools,
                 const std::string& owner, Handle(BRepTools_History) * history = nullptr);
TopoDS_Shape common(const TopoDS_Shape& object, const TopoDS_Shape& tool, const std::string& owner,
                    Handle(BRepTools_History) * history = nullptr);
// True when `shape` holds at least one solid.
bool hasSolid(const TopoDS_Shape& shape);

// Watches the booleans this thread runs while it lives (watches nest): whether any of them
// reported a warning. A boolean of valid arguments that reports none gives a valid result,
// which need not be checked again.
class WarningWatch {
 public:
  WarningWatch();
  ~WarningWatch();
  WarningWatch(const WarningWatch&) = delete;
  WarningWatch& operator=(const WarningWatch&) = delete;

  // True when no boolean reported a warning (or none ran).
  bool clean() const { return !warned_; }
  void note(bool warned);

 private:
  WarningWatch* outer_;
  bool warned_ = false;
};

namespace testing {

// The next cut's result loses one face of its shell and reports no warning: an invalid
// solid as a kernel fault would make one.
void breakNextResult();

}  // namespace testing

}  // namespace occt_host::booleans
