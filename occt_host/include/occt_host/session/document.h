// A document of the session (stands for CATDocument with CATInit and CATIEditor).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/document.h"
#include "host/product.h"
#include "occt_host/model/object.h"

namespace occt_host {

class Container;
class Editor;
class Product;

// Only a "Part" document has a Part container; "Product" and "Drawing" have roots
// without one, as the original's do.
class Document : public Object,
                 public host::Document,
                 public host::DocumentRoots,
                 public host::DocumentEditor,
                 public host::DocumentRootList {
 public:
  Document(std::string name, std::string kind);
  // A document with its container (for a Part) and its editor.
  static std::shared_ptr<Document> create(std::string name, std::string kind);
  static bool knownKind(std::string_view kind);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::Document
  std::string name() const override;
  std::string kind() const override;
  // host::DocumentRoots
  std::shared_ptr<host::Unknown> rootContainer(std::string_view type) override;
  // host::DocumentEditor
  std::shared_ptr<host::Editor> editor() override;
  // host::DocumentRootList: answered by Product documents, whose root is their product.
  std::vector<std::shared_ptr<host::Unknown>> roots() override;

  // Null for documents without a Part.
  const std::shared_ptr<Container>& container() const { return container_; }
  // The document's reference product: a Part's product, or a Product document's root.
  const std::shared_ptr<Product>& rootProduct() const { return product_; }

 protected:
  void* findInterface(host::InterfaceId id) override;
  host::Unknown* identity() override { return static_cast<host::Document*>(this); }

 private:
  std::string name_;
  std::string kind_;
  std::shared_ptr<Container> container_;
  std::shared_ptr<Editor> editor_;
  std::shared_ptr<Product> product_;
};

}  // namespace occt_host
