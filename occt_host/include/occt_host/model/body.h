// A body (stands for a PartBody or another solid body): an ordered list of features
// whose last solid feature gives the body's solid.
#pragma once

#include <TopoDS_Shape.hxx>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/solid_volume.h"
#include "occt_host/model/tree_container.h"
#include "occt_host/topology/volume_cache.h"

namespace occt_host {

class SolidFeature;

class Body : public TreeContainer, public host::SolidVolume {
 public:
  explicit Body(std::string name);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }
  Body* asBody() override { return this; }

  // host::SolidVolume: the current solid's volume, measured again only when it changed.
  bool volume(double& mm3) override;

  // The solid feature placed before `feature` in this body, or null.
  std::shared_ptr<SolidFeature> solidFeatureBefore(const TreeNode* feature) const;
  // The body's current solid; null when the body has no solid feature yet.
  TopoDS_Shape solid();
  // Identifies the body's current solid; 0 when it has none.
  std::uint64_t solidStamp();
  // The solid and its stamp for a boolean to cut or add: as solid(), but a solid valid as
  // the kernel made it is not checked for that; shown or exported, it still is.
  TopoDS_Shape toolSolid();
  std::uint64_t toolSolidStamp();

 protected:
  void* findInterface(host::InterfaceId id) override;
  // Brings the body's solid up to date and reports the first failure, in body order.
  host::UpdateResult recompute() override;

 private:
  std::vector<std::shared_ptr<SolidFeature>> solidFeatures() const;
  std::shared_ptr<SolidFeature> checkedTip();
  std::shared_ptr<SolidFeature> toolTip();

  VolumeCache volume_;
  // The tool stamp as last read, and the model's generation then.
  struct KeptStamp {
    std::uint64_t generation = 0, stamp = 0;
  };
  KeptStamp toolStamp_;
};

}  // namespace occt_host
