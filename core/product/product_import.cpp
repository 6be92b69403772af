#include "product/product_import.h"

#include <cstring>
#include <string_view>

#include "entry/viewer_pause.h"
#include "host/document_services.h"
#include "host/environment.h"
#include "host/part.h"
#include "host/values.h"
#include "log/core_log.h"
#include "text/host_text.h"

namespace kestrun {

namespace {

// A prepared record holds at most this many bytes of an id, so a longer id is looked up by
// the same first bytes that its record could hold.
constexpr std::size_t kMaxSourcePartIdBytes = 255;

std::string fieldText(const char* field, std::size_t capacity, std::size_t keep) {
  std::size_t n = strnlen(field, capacity);
  return std::string(field, n < keep ? n : keep);
}

std::string stringOf(const rapidjson::Value& v) {
  return std::string(v.GetString(), v.GetStringLength());
}

const rapidjson::Value* stringMember(const rapidjson::Value& object, const char* name) {
  auto it = object.FindMember(name);
  return it != object.MemberEnd() && it->value.IsString() ? &it->value : nullptr;
}

std::shared_ptr<host::DocumentServices> documentServices() {
  host::Environment* env = host::environment();
  return env ? host::query<host::DocumentServices>(env->application()) : nullptr;
}

std::shared_ptr<host::Document> handleOf(host::Document* document) {
  return document ? document->query<host::Document>() : nullptr;
}

// Every warning goes to the log as well: the result keeps only the first, and the summary
// replaces even that one at the end.
void warn(ImportResult& result, const std::string& text) {
  logOut("warning: " + text);
  result.addWarning(text);
}

}  // namespace

void activateDefaultShape(const host::ProductPtr& product) {
  if (!product) return;
  product->setWorkMode(3);
  product->shapeRepresentation("Default", true);
  if (auto session = product->query<host::ProductInSession>()) session->activateShape("Default");
}

void ProductImport::RegisterPreparedParts(const ProductPreparedPart* parts, std::uint64_t count) {
  prepared_.clear();
  if (!parts) return;
  for (std::uint64_t i = 0; i < count; ++i) {
    const ProductPreparedPart& record = parts[i];
    std::string id =
        fieldText(record.sourcePartId, sizeof record.sourcePartId, kMaxSourcePartIdBytes);
    std::string path = fieldText(record.partPath, sizeof record.partPath, sizeof record.partPath);
    if (id.empty() || (path.empty() && !record.partDocument)) continue;
    prepared_[id] = Prepared{record.partDocument, std::move(path)};
  }
}

std::int32_t ProductImport::AttachProductDocument(host::Document* document, ImportResult& result) {
  if (!document) return result.fail(kCodeInput, "drawingDocument is required.");
  auto roots = document->query<host::DocumentRootList>();
  if (!roots) return result.fail(kCodeInput, "CATDocument does not expose Product roots.");
  auto all = roots->roots();
  root_ = all.empty() ? nullptr : host::query<host::Product>(all.front());
  if (!root_) return result.fail(kCodeInput, "Root Product not found.");
  document_ = document;
  return result.status();
}

std::shared_ptr<host::Document> ProductImport::openPrepared(const std::string& key,
                                                            ImportResult& result) {
  auto found = prepared_.find(
      key.size() > kMaxSourcePartIdBytes ? key.substr(0, kMaxSourcePartIdBytes) : key);
  if (found == prepared_.end()) return nullptr;
  const Prepared& entry = found->second;
  if (entry.path.empty()) return handleOf(entry.document);
  std::shared_ptr<host::DocumentServices> services = documentServices();
  std::shared_ptr<host::Document> opened;
  const host::Status hr =
      services ? services->openDocument(toHostText(entry.path), opened) : host::kNoInterface;
  if (host::succeeded(hr) && opened) return opened;
  warn(result, "Failed to open prepared Part file for id=" + key + " path=" + entry.path +
                   " hr=" + std::to_string(static_cast<long>(hr)));
  return handleOf(entry.document);
}

std::int32_t ProductImport::cancelled(std::int32_t code, const char* message,
                                      ImportResult& result) {
  result.setCreatedCount(instances_);
  return result.fail(code, message);
}

std::int32_t ProductImport::ImportProduct(const rapidjson::Value& root, ImportResult& result) {
  if (!root.IsObject()) return result.fail(kCodeInput, "product JSON requires a partList array.");
  auto list = root.FindMember("partList");
  if (list == root.MemberEnd() || !list->value.IsArray())
    return result.fail(kCodeInput, "product JSON requires a partList array.");
  if (prepared_.empty())
    return result.fail(kCodeInput, "Product import requires prepared Part documents from caller.");
  const rapidjson::Value* name = stringMember(root, "name");
  root_->setInstanceName(name ? toHostText(stringOf(*name)) : std::string("Product1"));

  for (const auto& entry : list->value.GetArray()) {
    const rapidjson::Value* id = entry.IsObject() ? stringMember(entry, "id") : nullptr;
    if (!id) {
      warn(result, "Skipped product part without string id.");
      continue;
    }
    const rapidjson::Value* ref = stringMember(entry, "refId");
    const std::string key = ref && ref->GetStringLength() > 0 ? stringOf(*ref) : stringOf(*id);
    std::shared_ptr<host::Document> part = openPrepared(key, result);
    if (!part) {
      ++missing_;
      warn(result, "Missing prepared source Part for id=" + key + ".");
      continue;
    }
    ++found_;
    if (addInstance(entry, part, result) == Added::No) continue;
    switch (refreshAndPause(document_, drawDelayMs_)) {
      case PauseOutcome::RefreshFailed:
        return cancelled(kCodeUpdate, "CATIA viewer refresh failed; Product import cancelled.",
                         result);
      case PauseOutcome::HostExiting:
        return cancelled(kCodeUpdate, "CATIA host is exiting; Product import cancelled.", result);
      case PauseOutcome::Continue:
        break;
    }
  }

  return finish(result);
}

std::int32_t ProductImport::finish(ImportResult& result) {
  // Not one prepared Part could be had: an empty Product is no import, whatever was skipped.
  if (missing_ > 0 && found_ == 0) {
    result.setCreatedCount(0);
    return result.fail(kCodeDocument,
                       "No prepared source Part could be opened; Product import failed.");
  }
  const bool updated = updateRoot();
  if (!updated) {
    ++displayWarnings_;
    warn(result, "Root Product update failed after inserting instances.");
  }
  prepareDisplay();
  result.setCreatedCount(instances_);
  result.setSuccess("Product JSON imported.");
  result.overwriteWarning("Product display prepared: instances=" + std::to_string(instances_) +
                          " shapePrepared=" + std::to_string(shapePrepared_) +
                          " displayWarnings=" + std::to_string(displayWarnings_) +
                          " update=" + (updated ? "ok" : "failed"));
  return result.status();
}

ProductImport::Added ProductImport::addInstance(const rapidjson::Value& entry,
                                                const std::shared_ptr<host::Document>& part,
                                                ImportResult& result) {
  auto roots = part->query<host::DocumentRoots>();
  if (!roots) {
    warn(result, "Skipped product part because Part root container was unavailable.");
    return Added::No;
  }
  auto container = host::query<host::PartContainer>(roots->rootContainer(host::kPartContainerType));
  if (!container) {
    warn(result, "Skipped product part because CATIPrtContainer was unavailable.");
    return Added::No;
  }
  auto partProduct = host::query<host::PartProduct>(container->part());
  host::ProductPtr reference = partProduct ? partProduct->product() : nullptr;
  host::ProductPtr instance = reference ? root_->addProduct(reference) : nullptr;
  if (!instance) {
    warn(result, "Failed to add CATPart as Product instance.");
    return Added::No;
  }
  const rapidjson::Value* name = stringMember(entry, "name");
  instance->setInstanceName(toHostText(stringOf(name ? *name : entry["id"])));
  place(entry, instance, result);
  checkShape(instance, result);
  activateDefaultShape(instance);
  ++instances_;
  return Added::Yes;
}

// The matrix is a 4x4 placement stored row by row: the rotation in the first three
// columns of the first three rows, the translation in elements 3, 7 and 11.
void ProductImport::place(const rapidjson::Value& entry, const host::ProductPtr& instance,
                          ImportResult& result) {
  auto it = entry.FindMember("matrix");
  if (it == entry.MemberEnd() || !it->value.IsArray() || it->value.Size() < 16) return;
  const auto& m = it->value;
  host::Transform transform;
  for (rapidjson::SizeType i = 0; i < 16; ++i) {
    if (!m[i].IsNumber()) {
      warn(result, "Product instance matrix contains non-numeric values; transform skipped.");
      return;
    }
    if (i < 12) transform.m[i] = m[i].GetDouble();
  }
  auto movable = instance->query<host::Movable>();
  if (!movable) return;
  if (host::failed(movable->setPosition(transform)))
    warn(result, "Product instance matrix is not a rigid placement; transform skipped.");
}

void ProductImport::checkShape(const host::ProductPtr& instance, ImportResult& result) {
  auto shapeOf = [](const host::ProductPtr& product) {
    if (!product) return false;
    product->setWorkMode(3);
    if (product->shapeRepresentation("Default", true)) return true;
    return product->defaultShapeRepresentation() != nullptr;
  };
  const bool own = shapeOf(instance);
  const bool referenced = shapeOf(instance->referenceProduct());
  if (own || referenced) {
    ++shapePrepared_;
    return;
  }
  ++displayWarnings_;
  warn(result, "Product instance shape representation could not be loaded.");
}

bool ProductImport::updateRoot() {
  auto root = root_->query<host::SpecObject>();
  return root && root->update().ok();
}

void ProductImport::prepareDisplay() {
  for (const host::ProductPtr& product : root_->allChildren()) {
    activateDefaultShape(product);
    activateDefaultShape(product ? product->referenceProduct() : nullptr);
  }
  activateDefaultShape(root_);
}

}  // namespace kestrun
