// The product mode of the drawing entry: instances of prepared Part documents under the root
// product of a Product document, named and placed as the product JSON says.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include <rapidjson/document.h>

#include "entry/import_result.h"
#include "host/document.h"
#include "host/product.h"
#include "kestrun/kestrun.h"

namespace kestrun {

class ProductImport {
 public:
  explicit ProductImport(std::uint32_t drawDelayMs) : drawDelayMs_(drawDelayMs) {}

  // Builds the prepared-part table; a later record with the same id replaces an earlier one.
  void RegisterPreparedParts(const ProductPreparedPart* parts, std::uint64_t count);
  std::int32_t AttachProductDocument(host::Document* document, ImportResult& result);
  // Returns the final status.
  std::int32_t ImportProduct(const rapidjson::Value& root, ImportResult& result);

  std::size_t preparedCount() const { return prepared_.size(); }

 private:
  struct Prepared {
    host::Document* document = nullptr;
    std::string path;
  };
  enum class Added { No, Yes };

  std::shared_ptr<host::Document> openPrepared(const std::string& key, ImportResult& result);
  Added addInstance(const rapidjson::Value& entry, const std::shared_ptr<host::Document>& part,
                    ImportResult& result);
  void place(const rapidjson::Value& entry, const host::ProductPtr& instance, ImportResult& result);
  void checkShape(const host::ProductPtr& instance, ImportResult& result);
  // After the last entry: the root updated, the display prepared, the result filled.
  std::int32_t finish(ImportResult& result);
  bool updateRoot();
  void prepareDisplay();
  std::int32_t cancelled(std::int32_t code, const char* message, ImportResult& result);

  std::uint32_t drawDelayMs_ = 0;
  host::Document* document_ = nullptr;
  host::ProductPtr root_;
  std::map<std::string, Prepared> prepared_;  // ordered byte-wise by id
  std::uint32_t instances_ = 0;
  std::uint32_t shapePrepared_ = 0;
  std::uint32_t displayWarnings_ = 0;
  std::uint32_t found_ = 0;    // entries whose prepared Part was opened
  std::uint32_t missing_ = 0;  // entries whose prepared Part could not be had
};

// Work mode 3 and the "Default" shape, loaded, then activated; failures are not reported.
void activateDefaultShape(const host::ProductPtr& product);

}  // namespace kestrun
