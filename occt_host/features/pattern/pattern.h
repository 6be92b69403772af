// Rectangular and circular patterns (stand for the original's pattern features): copies
// of a feature's contribution, or of a body's whole solid, placed by a list of moves and
// joined to the body's solid by one multi-argument union or cut. The source itself is not
// among the moves: it is already in the solid.
#pragma once

#include <gp_Trsf.hxx>

#include <memory>
#include <string>
#include <vector>

#include "host/pattern.h"
#include "occt_host/model/solid_feature.h"

namespace occt_host {

class PatternFeature : public SolidFeature {
 public:
  PatternFeature(std::string type, std::string name, const host::SpecObjectPtr& object,
                 std::vector<gp_Trsf> moves);

  std::size_t copies() const { return moves_.size(); }
  // The source's contribution and every copy of it, so that a pattern of this pattern
  // copies the instances and not the whole solid.
  bool contribution(Contribution& out) override;

 protected:
  TopoDS_Shape build(const TopoDS_Shape& before) override;
  bool validFromCleanBooleans() const override { return true; }
  std::uint64_t inputRevision() const override;

 private:
  // The copies of `shapes`; throws when they would exceed the instance cap.
  std::vector<TopoDS_Shape> copiesOf(const std::vector<TopoDS_Shape>& shapes) const;

  std::weak_ptr<host::SpecObject> object_;
  std::vector<gp_Trsf> moves_;
};

class RectPatternFeature : public PatternFeature, public host::RectPattern {
 public:
  RectPatternFeature(std::string name, const host::SpecObjectPtr& object,
                     std::vector<gp_Trsf> moves)
      : PatternFeature("RectPattern", std::move(name), object, std::move(moves)) {}
  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

 protected:
  void* findInterface(host::InterfaceId id) override;
};

class CircPatternFeature : public PatternFeature, public host::CircPattern {
 public:
  CircPatternFeature(std::string name, const host::SpecObjectPtr& object,
                     std::vector<gp_Trsf> moves)
      : PatternFeature("CircPattern", std::move(name), object, std::move(moves)) {}
  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

 protected:
  void* findInterface(host::InterfaceId id) override;
};

// The moves of the copies, the source's own left out; false when the parameters are
// refused (see host::PatternFactory).
bool rectPatternMoves(const host::RectPatternParams& params, std::vector<gp_Trsf>& out);
bool circPatternMoves(const host::CircPatternParams& params, std::vector<gp_Trsf>& out);

}  // namespace occt_host
