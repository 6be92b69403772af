// A feature of a body whose result is a solid computed from the body's solid before it.
#pragma once

#include <TopoDS_Shape.hxx>

#include <cstdint>
#include <string>

#include "occt_host/tree_node.h"

namespace occt_host {

class SolidFeature : public TreeNode {
 public:
  using TreeNode::TreeNode;

  // The body's solid after this feature, computed on demand and kept until an input
  // changes. A failed feature passes the solid before it on unchanged.
  const TopoDS_Shape& result();
  // Identifies the current result: equal stamps mean the same shape.
  std::uint64_t resultStamp();
  // The diagnostic of the last computation; empty when it succeeded.
  const std::string& error();

 protected:
  // Builds this feature's solid from `before` (null for the body's first solid). Throws
  // with a clear text on failure; the caller checks validity as well.
  virtual TopoDS_Shape build(const TopoDS_Shape& before) = 0;
  // The revision of inputs outside the body (a sketch, a direction), part of the cache key.
  virtual std::uint64_t inputRevision() const { return 0; }

  host::UpdateResult recompute() override;

 private:
  struct CacheKey {
    std::uint64_t own = 0, inputs = 0, before = 0;
    bool operator==(const CacheKey& o) const {
      return own == o.own && inputs == o.inputs && before == o.before;
    }
  };

  void refresh();
  void compute(const TopoDS_Shape& before, std::uint64_t beforeStamp);

  bool computed_ = false;
  CacheKey key_;
  TopoDS_Shape result_;
  std::uint64_t stamp_ = 0;
  std::string error_;
};

}  // namespace occt_host
