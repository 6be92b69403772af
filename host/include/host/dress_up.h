// Dress-up features: fillets, chamfers, shells and drafts on the solids of earlier
// features, at faces and edges given as feature-level references (host/topology.h).
#pragma once

#include "host/spec_object.h"
#include "host/values.h"

namespace host {

// Propagation: 0 rounds or bevels the given edges (the kernel still carries a fillet on
// along edges tangent to a given one, since it cannot stop at a smooth joint).
constexpr int kPropagationNone = 0;
constexpr int kPropagationTangent = 1;

enum class ChamferMode { TwoLengths = 0, LengthAngle = 1 };

// Chamfer orientation: 0 measures the first length (or the length of a length and an
// angle) on the first face of each edge; 1 (contrary) on the other face.
constexpr int kChamferOrientationNormal = 0;
constexpr int kChamferOrientationContrary = 1;

// Creates dress-up features in the current body after the current feature (stands for
// the dress-up creation of CATIPrtFactory); queried from the Part container. Each returns
// null when its arguments are refused (no references where some are needed, a negative
// or zero size, an unknown mode).
class DressUpFactory : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.DressUpFactory";
  // A constant-radius round of the edges.
  virtual SpecObjectPtr createSolidFillet(const SpecObjectList& edges, double radius,
                                          int propagation) = 0;
  // A bevel of the edges: two lengths, or a length (first) and an angle in degrees (second).
  virtual SpecObjectPtr createChamfer(const SpecObjectList& edges, int propagation,
                                      ChamferMode mode, double first, double second,
                                      int orientation) = 0;
  // The solid hollowed to walls of `inner` thickness inside its outer faces (`outer`
  // would thicken outward), open at `openFaces`; with no open face the hollow is closed.
  virtual SpecObjectPtr createShell(const SpecObjectList& openFaces, double inner,
                                    double outer) = 0;
  // The faces tilted by `angleDegrees` about their intersection with the neutral plane
  // face, so that they lean inward as they go along the pulling direction.
  virtual SpecObjectPtr createDraft(const SpecObjectList& faces, const SpecObjectPtr& neutral,
                                    const Vec3& pullDirection, double angleDegrees) = 0;
};

// A chamfer's lengths (stands for CATIChamfer); for a length and an angle, the second is
// the length the angle gives on the other face of a right-angled edge.
class Chamfer : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Chamfer";
  virtual double length1() const = 0;
  virtual double length2() const = 0;
};

}  // namespace host
