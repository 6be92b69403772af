// A product (stands for CATIProduct with CATIMovable, CATIProductInSession and the product's
// CATISpecObject): a document's reference product, or an instance of a reference under
// another product. The reference product of a Part shows that Part's bodies.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/product.h"
#include "host/spec_object.h"
#include "occt_host/model/object.h"

namespace occt_host {

class Part;

class Product : public Object,
                public host::Product,
                public host::Movable,
                public host::ProductInSession,
                public host::SpecObject {
 public:
  // A reference product; `part` is the Part it shows, null for an assembly.
  Product(std::string partNumber, std::shared_ptr<Part> part);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::Product
  std::string partNumber() const override;
  host::Status setPartNumber(const std::string& partNumber) override;
  std::string instanceName() const override;
  host::Status setInstanceName(const std::string& name) override;
  host::ProductPtr addProduct(const host::ProductPtr& reference) override;
  host::ProductPtr referenceProduct() override;
  std::vector<host::ProductPtr> children() override;
  std::vector<host::ProductPtr> allChildren() override;
  std::shared_ptr<host::Unknown> shapeRepresentation(std::string_view name, bool load) override;
  std::shared_ptr<host::Unknown> defaultShapeRepresentation() override;
  host::Status setWorkMode(int mode) override;

  // host::Movable
  host::Transform position() const override;
  host::Status setPosition(const host::Transform& transform) override;

  // host::ProductInSession
  host::Status activateShape(std::string_view name) override;

  // host::SpecObject: updating a product updates the Parts its instances show.
  std::string typeName() const override { return "Product"; }
  std::string name() const override { return instanceName(); }
  host::SpecObjectPtr father() override;
  host::UpdateResult update() override;

  // The reference product behind this one (itself for a reference).
  std::shared_ptr<Product> reference();
  const std::shared_ptr<Part>& part() const { return part_; }
  const std::vector<std::shared_ptr<Product>>& childProducts() const { return children_; }
  int workMode() const { return workMode_; }
  const std::string& activeShape() const { return activeShape_; }

 protected:
  void* findInterface(host::InterfaceId id) override;
  host::Unknown* identity() override { return static_cast<host::Product*>(this); }

 private:
  // Whether this product appears in the structure below `reference` (or is it).
  bool reachableFrom(const Product& reference, std::size_t depth) const;
  void collect(std::vector<host::ProductPtr>& out, std::size_t depth);

  std::string partNumber_;
  std::string instanceName_;
  std::shared_ptr<Part> part_;
  std::shared_ptr<Product> reference_;  // null for a reference product
  std::weak_ptr<Product> father_;
  std::vector<std::shared_ptr<Product>> children_;
  host::Transform position_;
  int workMode_ = 0;
  std::string activeShape_;
  int instanceCounter_ = 0;
};

// Whether the 3x3 part of `transform` is a rotation (orthonormal, determinant +1) and every
// element is finite.
bool isRigidPlacement(const host::Transform& transform);

}  // namespace occt_host
