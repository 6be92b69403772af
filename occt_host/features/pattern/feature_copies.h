// What patterns and mirrors copy, and how the copies meet the body's solid: the
// contribution of a feature (the material a pad added, the cut of a pocket or hole) or,
// for a body or a feature without one, the whole solid; every copy joins the solid in one
// multi-argument boolean per kind, which is many times faster than one boolean per copy.
#pragma once

#include <TopoDS_Shape.hxx>
#include <gp_Trsf.hxx>

#include <memory>
#include <string>
#include <vector>

#include "host/spec_object.h"
#include "occt_host/topology/feature_history.h"

namespace occt_host {

class TreeNode;

struct CopySource {
  std::vector<TopoDS_Shape> shapes;
  bool adds = true;
};

// The shapes `owner` (a pattern or mirror whose body's solid before it is `before`) copies
// from `object`. Throws with a clear text when there is nothing to copy.
CopySource copySourceOf(const host::SpecObjectPtr& object, TreeNode& owner,
                        const TopoDS_Shape& before);

// `shape` placed by `placement`, as a copy that shares nothing with it.
TopoDS_Shape placedCopy(const TopoDS_Shape& shape, const gp_Trsf& placement);

// `before` with every shape of `adds` fused and then every shape of `removes` cut. The
// history of both operations goes to `history`. Throws with the kernel's text.
TopoDS_Shape combineCopies(const TopoDS_Shape& before, const std::vector<TopoDS_Shape>& adds,
                           const std::vector<TopoDS_Shape>& removes, const std::string& owner,
                           FeatureHistory& history);

}  // namespace occt_host
