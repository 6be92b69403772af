#include "host/tests/null_host.h"

#include <string>
#include <utility>

#include "host/interface_table.h"
#include "host/part.h"
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
    mainBody_ = std::make_shared<Node>("Body", "PartBody", father);
    currentTool_ = mainBody_;
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
  host::SpecObjectPtr mainBody() override { return mainBody_; }
  host::SpecObjectList referencePlanes() override { return planes_; }

 protected:
  void* find(host::InterfaceId id) override {
    if (void* found = host::answerAs<host::Part>(this, id)) return found;
    return Node::find(id);
  }

 private:
  host::SpecObjectList planes_;
  host::SpecObjectPtr mainBody_, currentTool_, currentFeature_;
};

class Container : public host::PartContainer, public std::enable_shared_from_this<Container> {
 public:
  explicit Container(std::shared_ptr<Part> part) : part_(std::move(part)) {}
  std::shared_ptr<void> queryInterface(host::InterfaceId id) override {
    void* found = id == host::kUnknownId ? static_cast<host::PartContainer*>(this)
                                         : host::answerAs<host::PartContainer>(this, id);
    return found ? std::shared_ptr<void>(shared_from_this(), found) : nullptr;
  }
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
    return container_;
  }

 private:
  std::shared_ptr<Container> container_;
};

}  // namespace

std::shared_ptr<host::Document> newPartDocument() {
  return std::make_shared<Document>();
}

}  // namespace null_host
