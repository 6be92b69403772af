// A geometry update plan for the active Part, and the result of applying it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

inline constexpr int32_t kUpdateModeFullRedraw = 1;
inline constexpr int32_t kShapeKindBox = 0;
inline constexpr int32_t kShapeKindCylinder = 1;

struct ShapeOperation {
  int32_t kind = kShapeKindBox;
  std::string id;
  double origin[3] = {0, 0, 0};
  double size[3] = {0, 0, 0};
  double radius = 0;
  double height = 0;
};

struct GeometryUpdatePlan {
  int32_t updateMode = kUpdateModeFullRedraw;
  std::vector<ShapeOperation> operations;
};

struct GeometryUpdateResult {
  bool succeeded = false;
  int32_t deletedCount = 0;
  int32_t createdCount = 0;
  std::string errorCode;
  std::string errorMessage;
};

}  // namespace vantrel
