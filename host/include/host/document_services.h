// Opening, saving and closing documents (stands for CATDocumentServices Open, SaveAs and
// Remove), queried from the Application.
#pragma once

#include <memory>
#include <string>

#include "host/status.h"
#include "host/unknown.h"

namespace host {

class Document;

class DocumentServices : public Unknown {
 public:
  static constexpr InterfaceId kInterfaceId = "host.DocumentServices";
  // The host's value for "overwrite / close without asking" passed to SaveAs and Remove.
  static constexpr int kForce = 1;

  // Loads the document stored at `path` into the session; a failure leaves `out` null and
  // returns a negative status.
  virtual Status openDocument(const std::string& path, std::shared_ptr<Document>& out) = 0;
  // Stores the document at `path`; `format` empty means the document's own format.
  virtual Status saveAs(const std::shared_ptr<Document>& document, const std::string& path,
                        const std::string& format, int flags) = 0;
  // Closes the document: it leaves the session, with its editor and windows.
  virtual Status removeDocument(const std::shared_ptr<Document>& document, int flags) = 0;
};

}  // namespace host
