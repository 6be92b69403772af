// A body (stands for a PartBody or another solid body): an ordered list of features
// whose last solid feature gives the body's solid.
#pragma once

#include <TopoDS_Shape.hxx>

#include <memory>
#include <string>

#include "occt_host/tree_container.h"

namespace occt_host {

class SolidFeature;

class Body : public TreeContainer {
 public:
  explicit Body(std::string name);

  // The solid feature placed before `feature` in this body, or null.
  std::shared_ptr<SolidFeature> solidFeatureBefore(const TreeNode* feature) const;
  // The body's current solid; null when the body has no solid feature yet.
  TopoDS_Shape solid();

 protected:
  // Brings every solid feature up to date and reports the first failure.
  host::UpdateResult recompute() override;
};

}  // namespace occt_host
