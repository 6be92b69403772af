// The kernel's boolean operations as the features use them: each returns the result or
// throws with the kernel's own text. When `history` is given it receives the operation's
// history of every argument and tool (see feature_history.h).
#pragma once

#include <BRepTools_History.hxx>
#include <TopoDS_Shape.hxx>

#include <string>
#include <vector>

namespace occt_host::booleans {

TopoDS_Shape fuse(const TopoDS_Shape& object, const TopoDS_Shape& tool, const std::string& owner,
                  Handle(BRepTools_History) * history = nullptr);
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

}  // namespace occt_host::booleans
