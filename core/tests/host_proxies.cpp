#include "host_proxies.h"

namespace proxies {

namespace {

using host::InterfaceId;

class PadProxy : public host::SpecObject, public std::enable_shared_from_this<PadProxy> {
 public:
  PadProxy(host::SpecObjectPtr real, Fault fault) : real_(std::move(real)), fault_(fault) {}
  std::shared_ptr<void> queryInterface(InterfaceId id) override {
    if (fault_ == Fault::NoPadInterface && id == host::Pad::kInterfaceId) return nullptr;
    if (id == host::SpecObject::kInterfaceId) return shared_from_this();
    return real_->queryInterface(id);
  }
  std::string typeName() const override { return real_->typeName(); }
  std::string name() const override { return real_->name(); }
  host::SpecObjectPtr father() override { return real_->father(); }
  host::UpdateResult update() override {
    if (fault_ == Fault::PadUpdateFails) return {host::kFail, "injected update failure"};
    return real_->update();
  }

 private:
  host::SpecObjectPtr real_;
  Fault fault_;
};

class PartFactoryProxy : public host::PartFactory {
 public:
  PartFactoryProxy(std::shared_ptr<host::PartFactory> real, Fault fault)
      : real_(std::move(real)), fault_(fault) {}
  std::shared_ptr<void> queryInterface(InterfaceId id) override {
    return id == kInterfaceId ? std::shared_ptr<void>(self_.lock()) : real_->queryInterface(id);
  }
  host::SpecObjectPtr createPad(const host::SpecObjectPtr& sketch) override {
    if (fault_ == Fault::PadNotCreated) return nullptr;
    host::SpecObjectPtr pad = real_->createPad(sketch);
    if (!pad) return nullptr;
    return std::make_shared<PadProxy>(pad, fault_);
  }
  host::SpecObjectPtr createPocket(const host::SpecObjectPtr& sketch) override {
    return real_->createPocket(sketch);
  }
  std::weak_ptr<PartFactoryProxy> self_;

 private:
  std::shared_ptr<host::PartFactory> real_;
  Fault fault_;
};

class Factory2DProxy : public host::Factory2D {
 public:
  explicit Factory2DProxy(std::shared_ptr<host::Factory2D> real) : real_(std::move(real)) {}
  std::shared_ptr<void> queryInterface(InterfaceId id) override {
    return real_->queryInterface(id);
  }
  host::Geometry2DPtr createPoint(const host::Point2& at) override {
    return real_->createPoint(at);
  }
  host::Geometry2DPtr createCircle(const host::Point2&, double) override { return nullptr; }

 private:
  std::shared_ptr<host::Factory2D> real_;
};

// A sketch whose 2D factory is missing or refuses circles.
class SketchProxy : public host::SpecObject,
                    public host::Sketch,
                    public std::enable_shared_from_this<SketchProxy> {
 public:
  SketchProxy(host::SpecObjectPtr real, Fault fault)
      : real_(std::move(real)), sketch_(real_->query<host::Sketch>()), fault_(fault) {}
  std::shared_ptr<void> queryInterface(InterfaceId id) override {
    if (id == host::SpecObject::kInterfaceId) {
      return std::static_pointer_cast<host::SpecObject>(shared_from_this());
    }
    if (id == host::Sketch::kInterfaceId) {
      return std::static_pointer_cast<host::Sketch>(shared_from_this());
    }
    if (id == host::Factory2D::kInterfaceId) {
      if (fault_ == Fault::NoFactory2D) return nullptr;
      if (fault_ == Fault::CircleNotCreated) {
        return std::make_shared<Factory2DProxy>(real_->query<host::Factory2D>());
      }
    }
    return real_->queryInterface(id);
  }
  std::string typeName() const override { return real_->typeName(); }
  std::string name() const override { return real_->name(); }
  host::SpecObjectPtr father() override { return real_->father(); }
  host::UpdateResult update() override { return real_->update(); }
  host::Status openEdition() override { return sketch_->openEdition(); }
  host::Status closeEdition() override {
    ++closed;
    return sketch_->closeEdition();
  }
  host::Plane plane() const override { return sketch_->plane(); }
  int closed = 0;

 private:
  host::SpecObjectPtr real_;
  std::shared_ptr<host::Sketch> sketch_;
  Fault fault_;
};

class SketchFactoryProxy : public host::SketchFactory {
 public:
  SketchFactoryProxy(std::shared_ptr<host::SketchFactory> real, Fault fault)
      : real_(std::move(real)), fault_(fault) {}
  std::shared_ptr<void> queryInterface(InterfaceId id) override {
    return real_->queryInterface(id);
  }
  host::SpecObjectPtr createSketch(const host::Point3& o, const host::Vec3& h,
                                   const host::Vec3& v) override {
    if (fault_ == Fault::SketchNotCreated) return nullptr;
    host::SpecObjectPtr sketch = real_->createSketch(o, h, v);
    // Only the 2D faults need a wrapped sketch; the real pad factory wants its own.
    if (!sketch || (fault_ != Fault::NoFactory2D && fault_ != Fault::CircleNotCreated)) {
      return sketch;
    }
    return std::make_shared<SketchProxy>(sketch, fault_);
  }

 private:
  std::shared_ptr<host::SketchFactory> real_;
  Fault fault_;
};

// The Part feature without its children interface.
class PartObjectProxy : public host::SpecObject,
                        public std::enable_shared_from_this<PartObjectProxy> {
 public:
  explicit PartObjectProxy(host::SpecObjectPtr real) : real_(std::move(real)) {}
  std::shared_ptr<void> queryInterface(InterfaceId id) override {
    if (id == host::Descendants::kInterfaceId) return nullptr;
    if (id == kInterfaceId) return shared_from_this();
    return real_->queryInterface(id);
  }
  std::string typeName() const override { return real_->typeName(); }
  std::string name() const override { return real_->name(); }
  host::SpecObjectPtr father() override { return real_->father(); }
  host::UpdateResult update() override { return real_->update(); }

 private:
  host::SpecObjectPtr real_;
};

class ContainerProxy : public host::PartContainer,
                       public std::enable_shared_from_this<ContainerProxy> {
 public:
  ContainerProxy(std::shared_ptr<host::PartContainer> real, Fault fault)
      : real_(std::move(real)), fault_(fault) {}
  std::shared_ptr<void> queryInterface(InterfaceId id) override {
    if (id == kInterfaceId) return shared_from_this();
    if (id == host::SketchFactory::kInterfaceId) return sketchFactory();
    if (id == host::PartFactory::kInterfaceId) return partFactory();
    return real_->queryInterface(id);
  }
  host::SpecObjectPtr part() override {
    if (fault_ == Fault::NoPart) return nullptr;
    if (fault_ == Fault::NoDescendants) return std::make_shared<PartObjectProxy>(real_->part());
    return real_->part();
  }

 private:
  std::shared_ptr<void> sketchFactory() {
    if (fault_ == Fault::NoSketchFactory) return nullptr;
    return std::make_shared<SketchFactoryProxy>(real_->query<host::SketchFactory>(), fault_);
  }
  std::shared_ptr<void> partFactory() {
    if (fault_ == Fault::NoPartFactory) return nullptr;
    auto proxy = std::make_shared<PartFactoryProxy>(real_->query<host::PartFactory>(), fault_);
    proxy->self_ = proxy;
    return std::static_pointer_cast<host::PartFactory>(proxy);
  }

  std::shared_ptr<host::PartContainer> real_;
  Fault fault_;
};

class RootsProxy : public host::DocumentRoots {
 public:
  RootsProxy(std::shared_ptr<host::DocumentRoots> real, Fault fault)
      : real_(std::move(real)), fault_(fault) {}
  std::shared_ptr<void> queryInterface(InterfaceId id) override {
    return real_->queryInterface(id);
  }
  std::shared_ptr<host::Unknown> rootContainer(std::string_view type) override {
    auto container = host::query<host::PartContainer>(real_->rootContainer(type));
    if (!container) return nullptr;
    return std::make_shared<ContainerProxy>(container, fault_);
  }

 private:
  std::shared_ptr<host::DocumentRoots> real_;
  Fault fault_;
};

class DocumentProxy : public host::Document, public std::enable_shared_from_this<DocumentProxy> {
 public:
  DocumentProxy(std::shared_ptr<host::Document> real, Fault fault)
      : real_(std::move(real)), fault_(fault) {}
  std::shared_ptr<void> queryInterface(InterfaceId id) override {
    if (id == kInterfaceId) return shared_from_this();
    if (id == host::DocumentRoots::kInterfaceId) {
      if (fault_ == Fault::NoDocumentRoots) return nullptr;
      return std::make_shared<RootsProxy>(real_->query<host::DocumentRoots>(), fault_);
    }
    return real_->queryInterface(id);
  }
  std::string name() const override { return real_->name(); }
  std::string kind() const override { return real_->kind(); }

 private:
  std::shared_ptr<host::Document> real_;
  Fault fault_;
};

}  // namespace

std::shared_ptr<host::Document> wrapDocument(std::shared_ptr<host::Document> real, Fault fault) {
  return std::make_shared<DocumentProxy>(std::move(real), fault);
}

}  // namespace proxies
