// The host objects of a feature's boundary: face and edge cells with their topological
// faces and edges, surfaces and curves, and the featurized references made from them.
#pragma once

#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>

#include <memory>
#include <vector>

#include "host/topology.h"
#include "occt_host/model/object.h"
#include "occt_host/topology/feature_history.h"

namespace occt_host {

class SolidFeature;

// A face that `owner` made, on the solid `record` keeps; it is its own topological face.
class FaceCellObject : public Object,
                       public host::FaceCell,
                       public host::Face,
                       public host::Featurize {
 public:
  FaceCellObject(std::shared_ptr<SolidFeature> owner, TopoDS_Face face, HistoryRecordPtr record);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::FaceCell
  std::vector<std::shared_ptr<host::Face>> faces() override;
  std::vector<std::shared_ptr<host::Unknown>> edgeCells() override;
  // host::Face
  std::shared_ptr<host::Surface> surface() override;
  host::ParamBox parameterBox() const override;
  bool holds(const host::Point2& uv) const override;
  host::Box3 box() const override;
  // host::Featurize
  host::SpecObjectPtr featurize() override;

  const TopoDS_Face& shape() const { return face_; }

 protected:
  void* findInterface(host::InterfaceId id) override;
  host::Unknown* identity() override { return static_cast<host::FaceCell*>(this); }

 private:
  std::weak_ptr<SolidFeature> owner_;
  TopoDS_Face face_;
  HistoryRecordPtr record_;
};

// An edge of a face that `owner` made; it is its own topological edge.
class EdgeCellObject : public Object,
                       public host::EdgeCell,
                       public host::Edge,
                       public host::Featurize {
 public:
  EdgeCellObject(std::shared_ptr<SolidFeature> owner, TopoDS_Edge edge, HistoryRecordPtr record);

  std::shared_ptr<void> queryInterface(host::InterfaceId id) override { return answer(id); }

  // host::EdgeCell
  std::vector<std::shared_ptr<host::Edge>> edges() override;
  // host::Edge
  std::shared_ptr<host::Curve> curve() override;
  bool vertices(host::Point3& start, host::Point3& end) const override;
  bool vertexParameters(double& start, double& end) const override;
  host::Box3 box() const override;
  // host::Featurize
  host::SpecObjectPtr featurize() override;

 protected:
  void* findInterface(host::InterfaceId id) override;
  host::Unknown* identity() override { return static_cast<host::EdgeCell*>(this); }

 private:
  std::weak_ptr<SolidFeature> owner_;
  TopoDS_Edge edge_;
  HistoryRecordPtr record_;
};

// Host boxes from kernel boxes.
host::Box3 toBox(const Bnd_Box& box);

}  // namespace occt_host
