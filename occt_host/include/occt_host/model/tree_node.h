// A node of a Part's feature tree: planes, bodies, sketches and features.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/spec_object.h"
#include "occt_host/model/object.h"

namespace occt_host {

class TreeContainer;
class Body;
class SolidFeature;

class TreeNode : public Object,
                 public host::SpecObject,
                 public host::Alias,
                 public host::VisProperties {
 public:
  TreeNode(std::string type, std::string name);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::SpecObject
  std::string typeName() const override;
  std::string name() const override;
  host::SpecObjectPtr father() override;
  host::UpdateResult update() override;

  // host::Alias: the alias starts as the name, as the original shows it.
  std::string alias() const override;
  host::Status setAlias(const std::string& name) override;

  // host::VisProperties
  host::Status setColor(const host::Color& color) override;
  bool color(host::Color& out) const override;
  host::Status setShown(bool shown) override;
  bool shown() const override;

  std::shared_ptr<TreeNode> self() {
    return std::static_pointer_cast<TreeNode>(shared_from_this());
  }
  std::shared_ptr<TreeNode> parentNode() const { return parent_.lock(); }
  // True when this node is `ancestor` or lies below it.
  bool isWithin(const TreeNode* ancestor) const;
  // What this node is, without a cast across the many interfaces it answers: the walks
  // down a body ask this of every node they pass, at every measure.
  virtual Body* asBody() { return nullptr; }
  virtual SolidFeature* asSolidFeature() { return nullptr; }
  // The name a user sees: the alias when set, else the name.
  std::string displayName() const;
  // Changes whenever an input of this node changes; cached results compare it.
  std::uint64_t revision() const { return revision_; }
  // Moves on with every change, in any document, that a kept result could stand on: an
  // edit of a node, a feature's result computed or distrusted. What was read while it
  // stood still is still so.
  static std::uint64_t modelGeneration();

  // Called on the removed node's former father chain, up to the root.
  virtual void childRemoved(TreeNode& removed, TreeContainer& from, std::size_t index);
  // Called on the new father chain of a node placed in the tree, up to the root.
  virtual void childAdded(TreeNode& added);
  // Whether a Part's journal holds this node already; it joins one Part once.
  bool journaled() const { return journaled_; }
  void setJournaled() { journaled_ = true; }

 protected:
  void* findInterface(host::InterfaceId id) override;
  host::Unknown* identity() override { return static_cast<host::SpecObject*>(this); }
  void touch() {
    ++revision_;
    noteModelChange();
  }
  static void noteModelChange();
  // What update() runs; it may throw, update() turns that into a status.
  virtual host::UpdateResult recompute();

 private:
  friend class TreeContainer;

  std::string type_;
  std::string name_;
  std::string alias_;
  std::weak_ptr<TreeNode> parent_;
  std::optional<host::Color> color_;
  bool shown_ = true;
  bool journaled_ = false;
  std::uint64_t revision_ = 1;
};

// `node` as a body or a solid feature, sharing its ownership; null when it is not one.
inline std::shared_ptr<Body> toBody(const std::shared_ptr<TreeNode>& node) {
  Body* body = node ? node->asBody() : nullptr;
  return body ? std::shared_ptr<Body>(node, body) : nullptr;
}
inline std::shared_ptr<SolidFeature> toSolidFeature(const std::shared_ptr<TreeNode>& node) {
  SolidFeature* feature = node ? node->asSolidFeature() : nullptr;
  return feature ? std::shared_ptr<SolidFeature>(node, feature) : nullptr;
}

}  // namespace occt_host
