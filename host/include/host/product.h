// Product structure as the plug-in sees it: the root product of a Product document,
// instances of Part documents under it, their names, part numbers and placements, and the
// display of their shapes.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/status.h"
#include "host/unknown.h"
#include "host/values.h"

namespace host {

class Product;
using ProductPtr = std::shared_ptr<Product>;

// The roots of a document (stands for CATIDocRoots); a Product document's first root is its
// root product. Documents without a product structure do not answer this interface.
class DocumentRootList : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.DocumentRootList";
  virtual std::vector<std::shared_ptr<Unknown>> roots() = 0;
};

// A product: a document's reference product, or an instance of one under another product
// (stands for CATIProduct).
class Product : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Product";
  virtual std::string partNumber() const = 0;
  virtual Status setPartNumber(const std::string& partNumber) = 0;
  virtual std::string instanceName() const = 0;
  virtual Status setInstanceName(const std::string& name) = 0;
  // A new instance of `reference` (a reference product, or an instance whose reference is
  // taken) as the last child of this product; null when it cannot be added.
  virtual ProductPtr addProduct(const ProductPtr& reference) = 0;
  // The reference product of an instance; a reference product answers itself.
  virtual ProductPtr referenceProduct() = 0;
  // The direct children, in insertion order.
  virtual std::vector<ProductPtr> children() = 0;
  // Every product below this one, depth first.
  virtual std::vector<ProductPtr> allChildren() = 0;
  // The named shape representation, loading it when `load` is set; null when there is none.
  virtual std::shared_ptr<Unknown> shapeRepresentation(std::string_view name, bool load) = 0;
  // The representation the product shows when no name is asked for; null when none.
  virtual std::shared_ptr<Unknown> defaultShapeRepresentation() = 0;
  // The display work mode (3 shows the full design shapes); see CATPrsWorkModeServices.
  virtual Status setWorkMode(int mode) = 0;
};

// The position of an instance in its father (stands for CATIMovable).
class Movable : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Movable";
  virtual Transform position() const = 0;
  // Refuses a transform whose 3x3 part is not a rotation.
  virtual Status setPosition(const Transform& transform) = 0;
};

// The session side of a product (stands for CATIProductInSession): which shape is active.
class ProductInSession : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.ProductInSession";
  virtual Status activateShape(std::string_view name) = 0;
};

// The product of a Part (stands for CATIPrtPart's product), queried from the Part object.
class PartProduct : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.PartProduct";
  virtual ProductPtr product() = 0;
};

}  // namespace host
