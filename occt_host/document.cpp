#include "occt_host/document.h"

#include "occt_host/container.h"
#include "occt_host/editor.h"
#include "occt_host/part.h"

namespace occt_host {

Document::Document(std::string name, std::string kind)
    : name_(std::move(name)), kind_(std::move(kind)) {}

std::shared_ptr<Document> Document::create(std::string name, std::string kind) {
  auto document = std::make_shared<Document>(name, kind);
  if (document->kind_ == "Part")
    document->container_ = std::make_shared<Container>(Part::create(name));
  // The editor refers back weakly: the document owns it.
  document->editor_ = std::make_shared<Editor>(document);
  return document;
}

bool Document::knownKind(std::string_view kind) {
  return kind == "Part" || kind == "Product" || kind == "Drawing";
}

std::string Document::name() const {
  try {
    return name_;
  } catch (...) {
    return {};
  }
}

std::string Document::kind() const {
  try {
    return kind_;
  } catch (...) {
    return {};
  }
}

std::shared_ptr<host::Unknown> Document::rootContainer(std::string_view type) {
  if (type != host::kPartContainerType || !container_) return nullptr;
  return std::shared_ptr<host::Unknown>(container_,
                                        static_cast<host::PartContainer*>(container_.get()));
}

std::shared_ptr<host::Editor> Document::editor() {
  return editor_;
}

void* Document::findInterface(host::InterfaceId id) {
  return host::answerAs<host::Document, host::DocumentRoots, host::DocumentEditor>(this, id);
}

}  // namespace occt_host
