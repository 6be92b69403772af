// What a straight prism takes from a solid, measured without a cut: exact where the solid
// around the prism is a stack of planes across its axis, and refused everywhere else, so
// that a cut measures it instead.
#include <gtest/gtest.h>

#include <BRepAlgoAPI_Cut.hxx>
#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakePolygon.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCone.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <BRepPrimAPI_MakeSphere.hxx>
#include <GC_MakeArcOfCircle.hxx>
#include <TopoDS.hxx>
#include <gp_Circ.hxx>
#include <gp_Pln.hxx>

#include <cmath>

#include "kernel/prism_removal.h"

namespace occt_host::testing {
namespace {

const double kPi = std::acos(-1.0);

TopoDS_Wire circleWire(double x, double y, double z, double r) {
  return BRepBuilderAPI_MakeWire(
             BRepBuilderAPI_MakeEdge(gp_Circ(gp_Ax2(gp_Pnt(x, y, z), gp::DZ()), r)).Edge())
      .Wire();
}

// The prism of `section` (a face at height z) moved by `height` along z.
TopoDS_Shape prism(const TopoDS_Face& section, double height) {
  return BRepPrimAPI_MakePrism(section, gp_Vec(0, 0, height)).Shape();
}

// A bore of radius r at (x, y), made as a remove makes it: its circle drawn at `from`
// and swept to `to`, up or down.
TopoDS_Shape bore(double x, double y, double r, double from, double to) {
  TopoDS_Face disc =
      BRepBuilderAPI_MakeFace(gp_Pln(gp_Pnt(0, 0, from), gp::DZ()), circleWire(x, y, from, r));
  return prism(disc, to - from);
}

TopoDS_Shape plate() {
  return BRepPrimAPI_MakeBox(100, 100, 10).Shape();
}

double removed(const TopoDS_Shape& solid, const TopoDS_Shape& tool, bool& measured) {
  double mm3 = -1;
  measured = SlabFaces(solid).removedBy(tool, mm3);
  return mm3;
}

void expectRemoved(const TopoDS_Shape& solid, const TopoDS_Shape& tool, double expected) {
  bool measured = false;
  const double mm3 = removed(solid, tool, measured);
  ASSERT_TRUE(measured) << "expected " << expected;
  EXPECT_NEAR(mm3, expected, expected * 1e-9);
}

void expectLeftToTheCut(const TopoDS_Shape& solid, const TopoDS_Shape& tool) {
  bool measured = true;
  removed(solid, tool, measured);
  EXPECT_FALSE(measured);
}

TEST(PrismRemovalTest, ABoreTakesItsSectionTimesTheLengthOfItsAxisInsideThePlate) {
  // Through the 10 mm plate, 1 mm past both faces: pi 2^2 10.
  expectRemoved(plate(), bore(50, 50, 2, -1, 11), 40 * kPi);
  // Drawn on top and swept down, as a remove in -z makes it: the same.
  expectRemoved(plate(), bore(50, 50, 2, 11, -1), 40 * kPi);
  // Blind, from z = 4 up and out of the top: 6 mm of its axis lie inside.
  expectRemoved(plate(), bore(50, 50, 2, 4, 11), 24 * kPi);
  // Inside the plate from z = 2 to 7, touching no face: all of it, but nothing crosses the
  // plate's boundary to tell inside from out, so the cut decides.
  expectLeftToTheCut(plate(), bore(50, 50, 2, 2, 7));
  // The kernel's own cylinder is a prism as well.
  expectRemoved(plate(), BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(30, 30, -5), gp::DZ()), 3, 20),
                90 * kPi);
}

TEST(PrismRemovalTest, AFaceWithAHoleWhereTheAxisPassesIsNotCrossed) {
  // A 20 x 20 boss from z = 10 to 20 on the plate: the plate's top face has the boss's
  // foot as a hole, the boss's top is at 20. A bore through both crosses the bottom and
  // the boss's top only: pi 2^2 20.
  TopoDS_Shape boss = BRepPrimAPI_MakeBox(gp_Pnt(40, 40, 10), 20, 20, 10).Shape();
  TopoDS_Shape stepped = BRepAlgoAPI_Fuse(plate(), boss).Shape();
  expectRemoved(stepped, bore(50, 50, 2, -1, 25), 80 * kPi);
  // Beside the boss, only the plate: pi 2^2 10.
  expectRemoved(stepped, bore(20, 20, 2, -1, 25), 40 * kPi);
  // A bore in a plate's old hole (radius 5) takes nothing, and one across its rim is left
  // to the cut, whose edges it meets.
  TopoDS_Shape holed = BRepAlgoAPI_Cut(plate(), bore(50, 50, 5, -1, 11)).Shape();
  expectLeftToTheCut(holed, bore(50, 50, 2, -1, 11));
  expectLeftToTheCut(holed, bore(54, 50, 2, -1, 11));
}

TEST(PrismRemovalTest, SectionsOfSegmentsArcsAndHolesAreMeasuredExactly) {
  // A 10 x 10 pocket from z = 5 up: 500.
  expectRemoved(plate(), BRepPrimAPI_MakeBox(gp_Pnt(10, 10, 5), 10, 10, 20).Shape(), 500);
  // A ring of radii 4 and 2: pi (16 - 4) 10.
  BRepBuilderAPI_MakeFace ring(gp_Pln(gp_Pnt(0, 0, -1), gp::DZ()), circleWire(50, 50, -1, 4));
  TopoDS_Wire inner = circleWire(50, 50, -1, 2);
  inner.Reverse();
  ring.Add(inner);
  expectRemoved(plate(), prism(ring.Face(), 12), 120 * kPi);
  // A slot: two half circles of radius 2 whose centres lie 10 apart, joined by lines:
  // (2 * 2 * 10 + pi 2^2) 10.
  const gp_Pnt a(45, 48, -1), b(55, 48, -1), c(55, 52, -1), d(45, 52, -1);
  BRepBuilderAPI_MakeWire slot;
  slot.Add(BRepBuilderAPI_MakeEdge(a, b).Edge());
  slot.Add(BRepBuilderAPI_MakeEdge(GC_MakeArcOfCircle(b, gp_Pnt(57, 50, -1), c).Value()).Edge());
  slot.Add(BRepBuilderAPI_MakeEdge(c, d).Edge());
  slot.Add(BRepBuilderAPI_MakeEdge(GC_MakeArcOfCircle(d, gp_Pnt(43, 50, -1), a).Value()).Edge());
  TopoDS_Face section = BRepBuilderAPI_MakeFace(slot.Wire(), true).Face();
  expectRemoved(plate(), prism(section, 12), (40 + 4 * kPi) * 10);
}

TEST(PrismRemovalTest, APlateAndItsBoreTurnedTogetherGiveTheSameVolume) {
  gp_Trsf turn;
  turn.SetRotation(gp_Ax1(gp_Pnt(10, 20, 30), gp_Dir(1, 2, 3)), 0.7);
  auto turned = [&](const TopoDS_Shape& shape) {
    return BRepBuilderAPI_Transform(shape, turn, true).Shape();
  };
  expectRemoved(turned(plate()), turned(bore(50, 50, 2, -1, 11)), 40 * kPi);
  // Turned with a location only, as the kernel moves copies.
  expectRemoved(plate().Moved(TopLoc_Location(turn)),
                bore(50, 50, 2, 4, 11).Moved(TopLoc_Location(turn)), 24 * kPi);
}

TEST(PrismRemovalTest, WhatCannotBeShownIsLeftToTheCut) {
  // Across the plate's side face, which lies along the axis.
  expectLeftToTheCut(plate(), bore(1, 50, 2, -1, 11));
  // Tools that are no straight prism: a sphere, a cone, a box tilted off every plane.
  expectLeftToTheCut(plate(), BRepPrimAPI_MakeSphere(gp_Pnt(50, 50, 5), 3).Shape());
  expectLeftToTheCut(plate(),
                     BRepPrimAPI_MakeCone(gp_Ax2(gp_Pnt(50, 50, -1), gp::DZ()), 3, 1, 12).Shape());
  gp_Trsf tilt;
  tilt.SetRotation(gp_Ax1(gp_Pnt(50, 50, 5), gp_Dir(1, 1, 0)), 0.3);
  expectLeftToTheCut(plate(), BRepBuilderAPI_Transform(bore(50, 50, 2, -1, 11), tilt).Shape());
  // A plate whose faces near the bore are not square to it: a plate with a dome on top.
  TopoDS_Shape dome = BRepPrimAPI_MakeSphere(gp_Pnt(50, 50, 10), 8).Shape();
  expectLeftToTheCut(BRepAlgoAPI_Fuse(plate(), dome).Shape(), bore(50, 50, 2, -1, 30));
  // A plate of two halves fused, whose top and bottom are each two faces that meet on
  // the bore's axis: an edge inside the section is left to the cut as well.
  TopoDS_Shape left = BRepPrimAPI_MakeBox(50, 100, 10).Shape();
  TopoDS_Shape right = BRepPrimAPI_MakeBox(gp_Pnt(50, 0, 0), 50, 100, 10).Shape();
  expectLeftToTheCut(BRepAlgoAPI_Fuse(left, right).Shape(), bore(50, 50, 2, -1, 11));
  // A plate whose top rises from 10 to 20 across it: the bore leaves through a face whose
  // edges lie far from it, but that face is not square to it.
  BRepBuilderAPI_MakePolygon side(gp_Pnt(0, 0, 0), gp_Pnt(100, 0, 0), gp_Pnt(100, 0, 20),
                                  gp_Pnt(0, 0, 10), true);
  TopoDS_Shape ramp =
      BRepPrimAPI_MakePrism(BRepBuilderAPI_MakeFace(side.Wire()).Face(), gp_Vec(0, 100, 0)).Shape();
  expectLeftToTheCut(ramp, bore(50, 50, 2, -1, 30));
  // A bore square to a slanted face: the plate tilted, the bore not.
  expectLeftToTheCut(BRepBuilderAPI_Transform(plate(), tilt).Shape(), bore(50, 50, 2, -5, 15));
}

}  // namespace
}  // namespace occt_host::testing
