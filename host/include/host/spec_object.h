// Part structure as the plug-in sees it: the objects of the feature tree (features, bodies,
// planes, sketches), their fathers and children, names, colours and visibility.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/status.h"
#include "host/unknown.h"
#include "host/values.h"

namespace host {

class SpecObject;
using SpecObjectPtr = std::shared_ptr<SpecObject>;
using SpecObjectList = std::vector<SpecObjectPtr>;

// Any object of the part's feature tree (stands for CATISpecObject).
class SpecObject : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.SpecObject";
  // The host's type name, for example "Body", "Sketch", "Pad", "Plane".
  virtual std::string typeName() const = 0;
  virtual std::string name() const = 0;
  // Null for the root of the tree.
  virtual SpecObjectPtr father() = 0;
  // Recomputes this object from its inputs; a failure carries the kernel's text.
  virtual UpdateResult update() = 0;
};

// Children of a feature-tree object (stands for CATIDescendants).
class Descendants : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Descendants";
  virtual SpecObjectList children() = 0;
  // Every object below this one, depth first, a father before its children.
  virtual SpecObjectList allDescendants() = 0;
  virtual Status removeChild(const SpecObjectPtr& child) = 0;
  // Moves an object (new, or held elsewhere) to the end of this object's children.
  virtual Status appendChild(const SpecObjectPtr& child) = 0;
};

// The user-visible name of an object (stands for CATIAlias).
class Alias : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Alias";
  virtual std::string alias() const = 0;
  virtual Status setAlias(const std::string& name) = 0;
};

// Display attributes of an object (stands for CATIVisProperties).
class VisProperties : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.VisProperties";
  virtual Status setColor(const Color& color) = 0;
  virtual bool color(Color& out) const = 0;
  virtual Status setShown(bool shown) = 0;
  virtual bool shown() const = 0;
};

}  // namespace host
