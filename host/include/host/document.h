// Documents and their roots.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "host/unknown.h"

namespace host {

class Editor;

// Type names of the root containers a document may hold.
constexpr std::string_view kPartContainerType = "CATIPrtContainer";

// A document open in the session (stands for CATDocument).
class Document : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.Document";
  virtual std::string name() const = 0;
  // "Part", "Product" or another kind; only a Part document holds a Part.
  virtual std::string kind() const = 0;
};

// Access to a document's root containers (stands for CATInit).
class DocumentRoots : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.DocumentRoots";
  // The root container of the given type, for example kPartContainerType; null if none.
  virtual std::shared_ptr<Unknown> rootContainer(std::string_view type) = 0;
};

// The editor that shows a document (stands for CATIEditor on a document).
class DocumentEditor : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.DocumentEditor";
  virtual std::shared_ptr<Editor> editor() = 0;
};

}  // namespace host
