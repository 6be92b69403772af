// The factory of fillets, chamfers, shells and drafts: each goes into the current body
// after the current feature and becomes current.
#pragma once

#include <memory>

#include "host/dress_up.h"

namespace occt_host {

class Part;
class TreeNode;

// Owned by the Part's container, which answers the interface with it.
class DressUpFactory : public host::DressUpFactory {
 public:
  explicit DressUpFactory(Part& part) : part_(part) {}

  // Queries are answered by the container that owns this factory.
  std::shared_ptr<void> queryInterface(host::InterfaceId) override { return nullptr; }

  host::SpecObjectPtr createSolidFillet(const host::SpecObjectList& edges, double radius,
                                        int propagation) override;
  host::SpecObjectPtr createChamfer(const host::SpecObjectList& edges, int propagation,
                                    host::ChamferMode mode, double first, double second,
                                    int orientation) override;
  host::SpecObjectPtr createShell(const host::SpecObjectList& openFaces, double inner,
                                  double outer) override;
  host::SpecObjectPtr createDraft(const host::SpecObjectList& faces,
                                  const host::SpecObjectPtr& neutral,
                                  const host::Vec3& pullDirection, double angleDegrees) override;

 private:
  host::SpecObjectPtr place(const std::shared_ptr<TreeNode>& feature) noexcept;

  Part& part_;
};

}  // namespace occt_host
