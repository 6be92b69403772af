#include "occt_host/model/product.h"

#include <cmath>

#include "kernel/kernel_guard.h"
#include "occt_host/model/body.h"
#include "occt_host/model/part.h"

namespace occt_host {

namespace {

// Nesting deeper than this is not a real assembly; the walk stops rather than recurse on.
constexpr std::size_t kMaxProductDepth = 64;

bool partHasSolid(const std::shared_ptr<Part>& part) {
  if (!part) return false;
  for (const auto& node : part->childNodes()) {
    auto body = std::dynamic_pointer_cast<Body>(node);
    if (body && !body->solid().IsNull()) return true;
  }
  return false;
}

}  // namespace

Product::Product(std::string partNumber, std::shared_ptr<Part> part)
    : partNumber_(partNumber), instanceName_(std::move(partNumber)), part_(std::move(part)) {}

std::string Product::partNumber() const {
  return guarded({}, [&] { return reference_ ? reference_->partNumber() : partNumber_; });
}

host::Status Product::setPartNumber(const std::string& partNumber) {
  return guarded(host::kFail, [&]() -> host::Status {
    if (reference_) return reference_->setPartNumber(partNumber);
    partNumber_ = partNumber;
    return host::kOk;
  });
}

std::string Product::instanceName() const {
  return guarded({}, [&] { return instanceName_; });
}

host::Status Product::setInstanceName(const std::string& name) {
  return guarded(host::kFail, [&] {
    instanceName_ = name;
    return host::kOk;
  });
}

std::shared_ptr<Product> Product::reference() {
  if (reference_) return reference_;
  return std::static_pointer_cast<Product>(shared_from_this());
}

bool Product::reachableFrom(const Product& reference, std::size_t depth) const {
  if (&reference == this) return true;
  if (depth >= kMaxProductDepth) return true;  // too deep to tell: refuse as a cycle
  for (const auto& child : reference.children_) {
    if (reachableFrom(*child->reference_, depth + 1)) return true;
  }
  return false;
}

host::ProductPtr Product::addProduct(const host::ProductPtr& reference) {
  return guarded(nullptr, [&]() -> host::ProductPtr {
    auto given = std::dynamic_pointer_cast<Product>(reference);
    if (!given) return nullptr;
    std::shared_ptr<Product> ref = given->reference();
    std::shared_ptr<Product> self = this->reference();
    // A product placed inside itself would make the structure endless.
    if (self.get() != this || reachableFrom(*ref, 0)) return nullptr;
    auto instance = std::make_shared<Product>(ref->partNumber_, ref->part_);
    instance->reference_ = ref;
    instance->instanceName_ = ref->partNumber_ + "." + std::to_string(++ref->instanceCounter_);
    instance->father_ = std::static_pointer_cast<Product>(shared_from_this());
    children_.push_back(instance);
    return instance;
  });
}

host::ProductPtr Product::referenceProduct() {
  return guarded(nullptr, [&] { return reference(); });
}

std::vector<host::ProductPtr> Product::children() {
  return guarded({}, [&] {
    std::vector<host::ProductPtr> out;
    for (const auto& c : (reference_ ? reference_->children_ : children_)) out.push_back(c);
    return out;
  });
}

void Product::collect(std::vector<host::ProductPtr>& out, std::size_t depth) {
  if (depth >= kMaxProductDepth) return;
  for (const auto& child : (reference_ ? reference_->children_ : children_)) {
    out.push_back(child);
    child->collect(out, depth + 1);
  }
}

std::vector<host::ProductPtr> Product::allChildren() {
  return guarded({}, [&] {
    std::vector<host::ProductPtr> out;
    collect(out, 0);
    return out;
  });
}

std::shared_ptr<host::Unknown> Product::shapeRepresentation(std::string_view name, bool load) {
  return guarded(nullptr, [&]() -> std::shared_ptr<host::Unknown> {
    (void)load;  // shapes of this model are always loaded
    if (name != "Default" || !partHasSolid(part_)) return nullptr;
    return std::shared_ptr<host::Unknown>(part_, static_cast<host::Part*>(part_.get()));
  });
}

std::shared_ptr<host::Unknown> Product::defaultShapeRepresentation() {
  return shapeRepresentation("Default", true);
}

host::Status Product::setWorkMode(int mode) {
  workMode_ = mode;
  return host::kOk;
}

host::Transform Product::position() const {
  return position_;
}

host::Status Product::setPosition(const host::Transform& transform) {
  if (!reference_) return host::kInvalidArg;  // only an instance has a place in a father
  if (!isRigidPlacement(transform)) return host::kInvalidArg;
  position_ = transform;
  return host::kOk;
}

host::Status Product::activateShape(std::string_view name) {
  return guarded(host::kFail, [&]() -> host::Status {
    if (name != "Default" || !shapeRepresentation(name, true)) return host::kFalse;
    activeShape_ = std::string(name);
    return host::kOk;
  });
}

host::SpecObjectPtr Product::father() {
  auto f = father_.lock();
  if (!f) return nullptr;
  return host::SpecObjectPtr(f, static_cast<host::SpecObject*>(f.get()));
}

host::UpdateResult Product::update() {
  auto updateAll = [&]() -> host::UpdateResult {
    if (part_) {
      host::UpdateResult r = part_->update();
      if (!r.ok()) return r;
    }
    for (const auto& child : (reference_ ? reference_->children_ : children_)) {
      host::UpdateResult r = child->reference()->update();
      if (!r.ok()) return r;
    }
    return {};
  };
  host::UpdateResult result;
  std::string error;
  if (runGuarded([&] { result = updateAll(); }, error)) return result;
  return {host::kFail, std::move(error)};
}

void* Product::findInterface(host::InterfaceId id) {
  if (id == host::Product::kInterfaceId) return static_cast<host::Product*>(this);
  if (id == host::Movable::kInterfaceId && reference_) return static_cast<host::Movable*>(this);
  if (id == host::ProductInSession::kInterfaceId) return static_cast<host::ProductInSession*>(this);
  if (id == host::SpecObject::kInterfaceId) return static_cast<host::SpecObject*>(this);
  return nullptr;
}

bool isRigidPlacement(const host::Transform& t) {
  for (double v : t.m)
    if (!std::isfinite(v)) return false;
  auto at = [&t](int r, int c) { return t.m[static_cast<std::size_t>(r * 4 + c)]; };
  constexpr double kTolerance = 1e-6;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      double d = 0;
      for (int k = 0; k < 3; ++k) d += at(i, k) * at(j, k);
      if (std::fabs(d - (i == j ? 1.0 : 0.0)) > kTolerance) return false;
    }
  }
  const double det = at(0, 0) * (at(1, 1) * at(2, 2) - at(1, 2) * at(2, 1)) -
                     at(0, 1) * (at(1, 0) * at(2, 2) - at(1, 2) * at(2, 0)) +
                     at(0, 2) * (at(1, 0) * at(2, 1) - at(1, 1) * at(2, 0));
  return det > 0;
}

}  // namespace occt_host
