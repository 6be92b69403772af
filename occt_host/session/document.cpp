#include "occt_host/session/document.h"

#include "kernel/kernel_guard.h"
#include "occt_host/model/container.h"
#include "occt_host/model/part.h"
#include "occt_host/model/product.h"
#include "session/editor.h"

namespace occt_host {

Document::Document(std::string name, std::string kind)
    : name_(std::move(name)), kind_(std::move(kind)) {}

std::shared_ptr<Document> Document::create(std::string name, std::string kind) {
  auto document = std::make_shared<Document>(name, kind);
  if (document->kind_ == "Part") {
    std::shared_ptr<Part> part = Part::create(name);
    document->container_ = std::make_shared<Container>(part);
    document->product_ = std::make_shared<Product>(name, part);
    part->setProduct(document->product_);
  } else if (document->kind_ == "Product") {
    document->product_ = std::make_shared<Product>(name, nullptr);
  }
  // The editor refers back weakly: the document owns it.
  document->editor_ = std::make_shared<Editor>(document);
  return document;
}

bool Document::knownKind(std::string_view kind) {
  return kind == "Part" || kind == "Product" || kind == "Drawing";
}

std::string Document::name() const {
  return guarded({}, [&] { return name_; });
}

std::string Document::kind() const {
  return guarded({}, [&] { return kind_; });
}

std::shared_ptr<host::Unknown> Document::rootContainer(std::string_view type) {
  if (type != host::kPartContainerType || !container_) return nullptr;
  return std::shared_ptr<host::Unknown>(container_,
                                        static_cast<host::PartContainer*>(container_.get()));
}

std::shared_ptr<host::Editor> Document::editor() {
  return editor_;
}

std::vector<std::shared_ptr<host::Unknown>> Document::roots() {
  return guarded({}, [&] {
    std::vector<std::shared_ptr<host::Unknown>> out;
    if (kind_ == "Product" && product_)
      out.push_back(
          std::shared_ptr<host::Unknown>(product_, static_cast<host::Product*>(product_.get())));
    return out;
  });
}

void* Document::findInterface(host::InterfaceId id) {
  // Only a Product document has a product structure among its roots.
  if (id == host::DocumentRootList::kInterfaceId && kind_ == "Product")
    return static_cast<host::DocumentRootList*>(this);
  return host::answerAs<host::Document, host::DocumentRoots, host::DocumentEditor>(this, id);
}

}  // namespace occt_host
