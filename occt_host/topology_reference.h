// A feature-level reference to a face or an edge (stands for CATIMfRsur / CATIMfRedge).
// It names the feature that made the face and the face or edge as it was when referenced;
// when the feature that uses it computes, it resolves to the live face or edge among that
// feature's faces on the solid the user starts from. The kernel's history gives those faces
// exactly; only when an earlier feature recomputed, so that the referenced face was
// rebuilt, is the live one chosen among them by kind and place.
#pragma once

#include <TopoDS_Shape.hxx>
#include <gp_Pnt.hxx>

#include <memory>
#include <string>

#include "host/topology.h"
#include "occt_host/object.h"

namespace occt_host {

class SolidFeature;

class TopologyReference : public Object,
                          public host::SpecObject,
                          public host::FaceReference,
                          public host::EdgeReference {
 public:
  // `shape` is a face or an edge of a face that `owner` made.
  TopologyReference(std::shared_ptr<SolidFeature> owner, TopoDS_Shape shape);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::SpecObject
  std::string typeName() const override;
  std::string name() const override;
  host::SpecObjectPtr father() override { return nullptr; }
  host::UpdateResult update() override { return {}; }
  // host::FaceReference, host::EdgeReference
  host::SpecObjectPtr feature() override;

  bool isFace() const;
  std::shared_ptr<SolidFeature> owner() const { return owner_.lock(); }
  // The live face or edge on the solid after `through`; null when the owner is gone or
  // made no face there.
  TopoDS_Shape resolveIn(SolidFeature& through) const;

 protected:
  void* findInterface(host::InterfaceId id) override;
  host::Unknown* identity() override { return static_cast<host::SpecObject*>(this); }

 private:
  std::weak_ptr<SolidFeature> owner_;
  TopoDS_Shape shape_;
  int geometryKind_ = -1;
  gp_Pnt centre_;
  double size_ = 0;
};

// The references of `objects` resolved on the solid after `through`; a reference that
// does not resolve throws with a text naming it.
std::vector<TopoDS_Shape> resolveAll(const host::SpecObjectList& objects, SolidFeature& through,
                                     const std::string& owner);

}  // namespace occt_host
