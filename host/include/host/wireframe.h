// Wireframe and structure factories: points, lines, planes, bodies, geometrical sets
// and length parameters.
#pragma once

#include <string>

#include "host/spec_object.h"
#include "host/values.h"

namespace host {

// The plane of a reference plane or plane feature (stands for CATPlane).
class PlaneGeometry : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.PlaneGeometry";
  // Origin and two unit in-plane directions; false when the plane cannot be evaluated.
  virtual bool plane(Plane& out) = 0;
};

// The position of a point feature.
class PointGeometry : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.PointGeometry";
  virtual bool position(Point3& out) = 0;
};

// Points, lines and planes (stands for CATIGSMFactory), queried from the Part container.
// New objects belong to no set until they are appended to one.
class WireframeFactory : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.WireframeFactory";
  virtual SpecObjectPtr createPoint(const Point3& at) = 0;
  // A line through two point features; null when they coincide.
  virtual SpecObjectPtr createLine(const SpecObjectPtr& from, const SpecObjectPtr& to) = 0;
  // A plane through the origin spanned by the two directions; null when they are parallel.
  virtual SpecObjectPtr createPlane(const Plane& plane) = 0;
};

// Bodies and geometrical sets under the Part (stands for CATIMechanicalRootFactory).
class BodyFactory : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.BodyFactory";
  // A new body at the end of the Part; an empty name lets the host name it.
  virtual SpecObjectPtr createBody(const std::string& name) = 0;
  virtual SpecObjectPtr createGeometricalSet(const std::string& name, bool ordered) = 0;
};

// A geometrical set (stands for CATIGSMTool).
class GeometricalSet : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.GeometricalSet";
  // 0 for an unordered set, 1 for an ordered one.
  virtual int setType() const = 0;
  // Puts an updated feature of an ordered set into its linear order.
  virtual Status insertIntoLinearBody(const SpecObjectPtr& feature) = 0;
};

// Knowledge parameters (stands for CATICkeParmFactory), queried from the Part container.
class ParameterFactory : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.ParameterFactory";
  virtual SpecObjectPtr createLength(const std::string& name, double metres) = 0;
};

// A length parameter's value (stands for CATICkeParm).
class LengthParameter : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.LengthParameter";
  virtual double metres() const = 0;
  virtual Status setMetres(double value) = 0;
};

}  // namespace host
