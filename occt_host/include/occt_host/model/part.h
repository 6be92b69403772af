// The Part feature (stands for CATIPrtPart): reference planes, bodies, and the current
// feature and tool that decide where new features go.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/creation_journal.h"
#include "host/part.h"
#include "host/product.h"
#include "host/solid_volume.h"
#include "occt_host/model/tree_container.h"

namespace occt_host {

class Body;
class Product;

class Part : public TreeContainer,
             public host::Part,
             public host::PartProduct,
             public host::SolidVolume,
             public host::CreationJournal {
 public:
  explicit Part(std::string name);
  // A Part with its three reference planes and its main body, current at creation.
  static std::shared_ptr<Part> create(std::string name);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::Part
  host::SpecObjectPtr currentFeature() override;
  host::Status setCurrentFeature(const host::SpecObjectPtr& feature) override;
  host::SpecObjectPtr currentTool() override;
  host::Status setCurrentTool(const host::SpecObjectPtr& tool) override;
  host::SpecObjectPtr mainBody() override;
  host::SpecObjectList referencePlanes() override;
  // host::PartProduct: the reference product of the Part's document.
  host::ProductPtr product() override;
  void setProduct(const std::shared_ptr<Product>& product) { product_ = product; }
  // host::SolidVolume: the solids of all the Part's bodies together.
  bool volume(double& mm3) override;
  // host::CreationJournal
  std::uint64_t mark() override { return joined_; }
  host::SpecObjectList joinedSince(std::uint64_t mark) override;

  // Places `feature` in the current body after the current feature (or at the body's
  // end) and makes it current, so that features follow one another.
  host::Status addFeature(const std::shared_ptr<TreeNode>& feature);
  // "Sketch.1", "Pad.2", ... counted per type, as the original names features.
  std::string nextName(const std::string& type);
  std::shared_ptr<Body> mainBodyNode() const;

  void childRemoved(TreeNode& removed, TreeContainer& from, std::size_t index) override;
  void childAdded(TreeNode& added) override;

 protected:
  void* findInterface(host::InterfaceId id) override;
  // Updates every body; the first failure is reported.
  host::UpdateResult recompute() override;

 private:
  bool owns(const TreeNode* node) const { return node && node != this && node->isWithin(this); }
  std::shared_ptr<Body> firstBody() const;

  std::weak_ptr<Body> mainBody_;
  std::weak_ptr<TreeContainer> currentTool_;
  std::weak_ptr<TreeNode> currentFeature_;
  std::map<std::string, int> counters_;
  std::weak_ptr<Product> product_;
  // Every node that joined, numbered in order; the ones gone are dropped from time to time,
  // since each weak reference keeps the memory of what it named.
  struct Joined {
    std::uint64_t number;
    std::weak_ptr<TreeNode> node;
  };
  void dropGone();
  std::vector<Joined> journal_;
  std::uint64_t joined_ = 0;
  std::size_t keptAfterDrop_ = 0;
};

}  // namespace occt_host
