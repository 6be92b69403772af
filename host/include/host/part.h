// The Part of a Part document and its container.
#pragma once

#include <memory>
#include <string_view>

#include "host/spec_object.h"

namespace host {

// The Part feature (stands for CATIPrtPart).
class Part : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Part";
  virtual SpecObjectPtr currentFeature() = 0;
  virtual Status setCurrentFeature(const SpecObjectPtr& feature) = 0;
  // The current tool: the body (or geometrical set) that receives new features.
  virtual SpecObjectPtr currentTool() = 0;
  virtual Status setCurrentTool(const SpecObjectPtr& tool) = 0;
  virtual SpecObjectPtr mainBody() = 0;
  // The reference planes in the host's order: XY, YZ, ZX.
  virtual SpecObjectList referencePlanes() = 0;
};

// The container of a Part document's feature tree (stands for CATIPrtContainer).
// Factories are queried from it.
class PartContainer : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.PartContainer";
  virtual SpecObjectPtr part() = 0;
};

}  // namespace host
