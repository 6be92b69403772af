// The seam through which demo schema updates reach the active Part.
#pragma once

#include "vantrel/geometry_update_plan.h"

namespace vantrel {

// Applies geometry update plans to the active Part.
class ActivePartAdapter {
 public:
  virtual ~ActivePartAdapter() = default;
  virtual bool IsAvailable() = 0;
  virtual GeometryUpdateResult ApplyUpdate(const GeometryUpdatePlan& plan) = 0;
  // Applies an empty full-redraw plan.
  virtual GeometryUpdateResult ClearAll();
};

// The adapter the panel holds until a real one is wired: no active Part is ever available.
class UnwiredActivePartAdapter : public ActivePartAdapter {
 public:
  bool IsAvailable() override { return false; }
  GeometryUpdateResult ApplyUpdate(const GeometryUpdatePlan& plan) override;
};

}  // namespace vantrel
