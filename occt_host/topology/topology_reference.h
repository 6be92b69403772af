// A feature-level reference to a face or an edge (stands for CATIMfRsur / CATIMfRedge).
// It names the feature that made the face and the face or edge as it was when referenced;
// when the feature that uses it computes, it resolves to the live face or edge among that
// feature's faces on the solid the user starts from. The kernel's history gives those faces
// exactly; only when an earlier feature recomputed, so that the referenced face was
// rebuilt, is the live one chosen among them by kind, direction, place and size, and only
// when one candidate plainly fits (an edge must also lie between the same faces).
#pragma once

#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS_Shape.hxx>

#include <memory>
#include <string>
#include <vector>

#include "host/topology.h"
#include "occt_host/model/object.h"

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
  // The face or edge as it was when referenced.
  const TopoDS_Shape& shape() const { return shape_; }
  std::shared_ptr<SolidFeature> owner() const { return owner_.lock(); }
  // The live face or edge on the solid after `through`; null when the owner is gone, made
  // no face there, or no face or edge there is plausibly the referenced one rebuilt.
  TopoDS_Shape resolveIn(SolidFeature& through) const;

  struct Neighbour;

 protected:
  void* findInterface(host::InterfaceId id) override;
  host::Unknown* identity() override { return static_cast<host::SpecObject*>(this); }

 private:
  // What the referenced shape looked like, to find it again once rebuilt.
  struct Recorded;

  TopoDS_Shape rebuilt(const TopTools_IndexedMapOfShape& candidates, SolidFeature& through) const;

  std::weak_ptr<SolidFeature> owner_;
  TopoDS_Shape shape_;
  std::shared_ptr<const Recorded> recorded_;
};

// The references of `objects` resolved on the solid after `through`; a reference that
// does not resolve throws with a text naming it.
std::vector<TopoDS_Shape> resolveAll(const host::SpecObjectList& objects, SolidFeature& through,
                                     const std::string& owner);

}  // namespace occt_host
