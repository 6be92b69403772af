#include "null_host.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "host/interface_table.h"
#include "host/part.h"
#include "host/part_factory.h"
#include "host/sketch.h"
#include "host/spec_object.h"

namespace null_host {

namespace {

// A feature-tree object with a type, a name and a father; updates always succeed.
class Node : public host::SpecObject,
             public host::Alias,
             public std::enable_shared_from_this<Node> {
 public:
  Node(std::string type, std::string name, std::weak_ptr<host::SpecObject> father = {})
      : type_(std::move(type)), name_(std::move(name)), father_(std::move(father)) {}

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override {
    void* found = id == host::kUnknownId ? static_cast<host::SpecObject*>(this) : find(id);
    return found ? std::shared_ptr<void>(shared_from_this(), found) : nullptr;
  }
  std::string typeName() const override { return type_; }
  std::string name() const override { return name_; }
  host::SpecObjectPtr father() override { return father_.lock(); }
  host::UpdateResult update() override { return {}; }
  std::string alias() const override { return alias_.empty() ? name_ : alias_; }
  void setFather(std::weak_ptr<host::SpecObject> father) { father_ = std::move(father); }
  host::Status setAlias(const std::string& name) override {
    alias_ = name;
    return host::kOk;
  }

 protected:
  virtual void* find(host::InterfaceId id) {
    return host::answerAs<host::SpecObject, host::Alias>(this, id);
  }

 private:
  std::string type_, name_, alias_;
  std::weak_ptr<host::SpecObject> father_;
};

host::SpecObjectPtr asSpecObject(const std::shared_ptr<Node>& node) {
  return std::shared_ptr<host::SpecObject>(node, static_cast<host::SpecObject*>(node.get()));
}

// A body keeps its features in order; a new feature goes where the Part says.
class Body : public Node, public host::Descendants {
 public:
  using Node::Node;
  std::shared_ptr<void> queryInterface(host::InterfaceId id) override {
    return Node::queryInterface(id);
  }
  host::SpecObjectList children() override { return children_; }
  host::SpecObjectList allDescendants() override { return children_; }
  host::Status removeChild(const host::SpecObjectPtr& child) override {
    const auto at = find(child);
    if (at == children_.end()) return host::kInvalidArg;
    children_.erase(at);
    return host::kOk;
  }
  host::Status appendChild(const host::SpecObjectPtr& child) override {
    insert(child, children_.size());
    return host::kOk;
  }
  // Places `child` at `index` (clamped to the end).
  void insert(const host::SpecObjectPtr& child, std::size_t index) {
    children_.insert(
        children_.begin() + static_cast<std::ptrdiff_t>(std::min(index, children_.size())), child);
  }
  // The position of `child`, or the number of children when it is not one.
  std::size_t indexOf(const host::SpecObjectPtr& child) {
    return static_cast<std::size_t>(find(child) - children_.begin());
  }

 protected:
  void* find(host::InterfaceId id) override {
    if (void* found = host::answerAs<host::Descendants>(this, id)) return found;
    return Node::find(id);
  }

 private:
  host::SpecObjectList::iterator find(const host::SpecObjectPtr& child) {
    return std::find_if(children_.begin(), children_.end(),
                        [&](const host::SpecObjectPtr& c) { return host::sameObject(c, child); });
  }
  host::SpecObjectList children_;
};

// A pad of a sketch; the null adapter draws no geometry, so its sketches never hold a
// profile and the pad's update fails as a host's does for an empty sketch.
class Pad : public Node {
 public:
  using Node::Node;
  host::UpdateResult update() override {
    return {host::kUnexpected, "The sketch holds no closed profile to pad."};
  }
};

class Part : public Node, public host::Part {
 public:
  Part() : Node("Part", "Part1") {}

  // The planes and the main body name the Part as their father, so they are made once
  // the Part is owned.
  void populate() {
    auto self = std::static_pointer_cast<Node>(shared_from_this());
    const std::shared_ptr<host::SpecObject> father(self, static_cast<host::SpecObject*>(this));
    for (const char* name : {"xy plane", "yz plane", "zx plane"})
      planes_.push_back(std::make_shared<Node>("Plane", name, father));
    mainBody_ = std::make_shared<Body>("Body", "PartBody", father);
    currentTool_ = asSpecObject(mainBody_);
  }

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override {
    return Node::queryInterface(id);
  }
  host::SpecObjectPtr currentFeature() override { return currentFeature_; }
  host::Status setCurrentFeature(const host::SpecObjectPtr& feature) override {
    currentFeature_ = feature;
    return host::kOk;
  }
  host::SpecObjectPtr currentTool() override { return currentTool_; }
  host::Status setCurrentTool(const host::SpecObjectPtr& tool) override {
    if (!tool) return host::kInvalidArg;
    currentTool_ = tool;
    return host::kOk;
  }
  host::SpecObjectPtr mainBody() override { return asSpecObject(mainBody_); }

  // Puts a new feature in the main body right after the current feature (at the end when
  // that is elsewhere) and makes it current.
  host::SpecObjectPtr addFeature(const std::shared_ptr<Node>& node) {
    node->setFather(mainBody());
    host::SpecObjectPtr feature = asSpecObject(node);
    const std::size_t at = mainBody_->indexOf(currentFeature_);
    mainBody_->insert(feature, at + 1);
    currentFeature_ = feature;
    return feature;
  }
  std::string nextName(const std::string& type) { return type + "." + std::to_string(++count_); }
  host::SpecObjectList referencePlanes() override { return planes_; }

 protected:
  void* find(host::InterfaceId id) override {
    if (void* found = host::answerAs<host::Part>(this, id)) return found;
    return Node::find(id);
  }

 private:
  host::SpecObjectList planes_;
  std::shared_ptr<Body> mainBody_;
  host::SpecObjectPtr currentTool_, currentFeature_;
  int count_ = 0;
};

class Container : public host::PartContainer,
                  public host::SketchFactory,
                  public host::PartFactory,
                  public std::enable_shared_from_this<Container> {
 public:
  explicit Container(std::shared_ptr<Part> part) : part_(std::move(part)) {}
  std::shared_ptr<void> queryInterface(host::InterfaceId id) override {
    void* found =
        id == host::kUnknownId
            ? static_cast<host::PartContainer*>(this)
            : host::answerAs<host::PartContainer, host::SketchFactory, host::PartFactory>(this, id);
    return found ? std::shared_ptr<void>(shared_from_this(), found) : nullptr;
  }
  host::SpecObjectPtr createSketch(const host::Point3&, const host::Vec3&,
                                   const host::Vec3&) override {
    return part_->addFeature(std::make_shared<Node>("Sketch", part_->nextName("Sketch")));
  }
  host::SpecObjectPtr createPad(const host::SpecObjectPtr& sketch) override {
    if (!sketch) return nullptr;
    return part_->addFeature(std::make_shared<Pad>("Pad", part_->nextName("Pad")));
  }
  host::SpecObjectPtr createPocket(const host::SpecObjectPtr&) override { return nullptr; }
  host::SpecObjectPtr part() override {
    return std::shared_ptr<host::SpecObject>(part_, static_cast<host::SpecObject*>(part_.get()));
  }

 private:
  std::shared_ptr<Part> part_;
};

class Document : public host::Document,
                 public host::DocumentRoots,
                 public std::enable_shared_from_this<Document> {
 public:
  Document() {
    auto part = std::make_shared<Part>();
    part->populate();
    container_ = std::make_shared<Container>(std::move(part));
  }
  std::shared_ptr<void> queryInterface(host::InterfaceId id) override {
    void* found = id == host::kUnknownId
                      ? static_cast<host::Document*>(this)
                      : host::answerAs<host::Document, host::DocumentRoots>(this, id);
    return found ? std::shared_ptr<void>(shared_from_this(), found) : nullptr;
  }
  std::string name() const override { return "Part1"; }
  std::string kind() const override { return "Part"; }
  std::shared_ptr<host::Unknown> rootContainer(std::string_view type) override {
    if (type != host::kPartContainerType) return nullptr;
    return std::shared_ptr<host::Unknown>(container_,
                                          static_cast<host::PartContainer*>(container_.get()));
  }

 private:
  std::shared_ptr<Container> container_;
};

}  // namespace

std::shared_ptr<host::Document> newPartDocument() {
  return std::make_shared<Document>();
}

}  // namespace null_host
