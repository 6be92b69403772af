#include "features/hole/hole_profile.h"

#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakePolygon.hxx>
#include <BRepPrimAPI_MakeRevol.hxx>
#include <gp_Ax1.hxx>
#include <gp_Ax2.hxx>

#include <cmath>
#include <stdexcept>

namespace occt_host {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Beyond this (mm) the kernel's fixed precision no longer holds.
constexpr double kLargestSize = 1e6;

// tan of half a full included angle given in degrees.
double halfTan(double degrees) {
  return std::tan(degrees * kPi / 360.0);
}

bool openAngle(double degrees) {
  return degrees > 0 && degrees < 180;
}

void require(bool condition, const std::string& owner, const std::string& what) {
  if (!condition) throw std::runtime_error(owner + ": " + what);
}

// The wall from the support down to the depth; the last point is the wall's foot.
void wall(const HoleShape& s, double radius, std::vector<ProfilePoint>& out,
          const std::string& owner) {
  switch (s.type) {
    case host::kHoleSimple:
      out.push_back({radius, 0});
      out.push_back({radius, s.depth});
      return;
    case host::kHoleTapered: {
      require(s.taperAngle >= 0 && s.taperAngle < 180, owner,
              "the taper angle must be at least 0 and below 180 degrees");
      const double foot = radius - s.depth * halfTan(s.taperAngle);
      require(foot > 1e-6, owner, "the taper closes before the hole's depth");
      out.push_back({radius, 0});
      out.push_back({foot, s.depth});
      return;
    }
    case host::kHoleCounterbored: {
      const double bore = s.counterboreDiameter / 2;
      require(bore > radius, owner, "the counterbore diameter must exceed the hole's diameter");
      require(s.counterboreDepth > 0 && s.counterboreDepth < s.depth, owner,
              "the counterbore depth must be positive and less than the hole's depth");
      out.push_back({bore, 0});
      out.push_back({bore, s.counterboreDepth});
      out.push_back({radius, s.counterboreDepth});
      out.push_back({radius, s.depth});
      return;
    }
    case host::kHoleCountersunk: {
      const double sink = s.countersinkDiameter / 2;
      require(sink > radius, owner, "the countersink diameter must exceed the hole's diameter");
      require(openAngle(s.countersinkAngle), owner,
              "the countersink angle must be above 0 and below 180 degrees");
      const double sinkDepth = (sink - radius) / halfTan(s.countersinkAngle);
      require(sinkDepth < s.depth, owner, "the countersink is deeper than the hole");
      out.push_back({sink, 0});
      out.push_back({radius, sinkDepth});
      out.push_back({radius, s.depth});
      return;
    }
    default:
      throw std::runtime_error(owner + ": unknown hole type " + std::to_string(s.type));
  }
}

}  // namespace

std::vector<ProfilePoint> halfProfile(const HoleShape& s, const std::string& owner) {
  require(s.diameter > 0, owner, "the hole's diameter must be positive");
  require(s.depth > 0, owner, "the hole's depth must be positive");
  for (double size :
       {s.diameter, s.depth, s.counterboreDiameter, s.counterboreDepth, s.countersinkDiameter}) {
    require(std::fabs(size) <= kLargestSize, owner,
            "the hole's sizes must stay within 1 km of its origin");
  }
  std::vector<ProfilePoint> points{{0, 0}};
  wall(s, s.diameter / 2, points, owner);
  const ProfilePoint foot = points.back();
  if (s.bottomType == host::kHoleBottomV) {
    require(openAngle(s.bottomAngle), owner,
            "the bottom angle must be above 0 and below 180 degrees");
    points.push_back({0, s.depth + foot.radius / halfTan(s.bottomAngle)});
  } else {
    require(s.bottomType == host::kHoleBottomFlat, owner,
            "unknown hole bottom type " + std::to_string(s.bottomType));
    points.push_back({0, s.depth});
  }
  return points;
}

TopoDS_Shape revolvedHole(const HoleShape& shape, const gp_Pnt& origin, const gp_Dir& direction,
                          const std::string& owner) {
  const std::vector<ProfilePoint> profile = halfProfile(shape, owner);
  // Any frame whose main direction is the axis: the profile is the same all round.
  const gp_Ax2 frame(origin, direction);
  const gp_Dir& across = frame.XDirection();
  BRepBuilderAPI_MakePolygon polygon;
  for (const ProfilePoint& p : profile) {
    polygon.Add(origin.Translated(gp_Vec(across) * p.radius + gp_Vec(direction) * p.depth));
  }
  polygon.Close();
  require(polygon.IsDone(), owner, "the hole's profile is degenerate");
  BRepBuilderAPI_MakeFace face(polygon.Wire(), Standard_True);
  require(face.IsDone(), owner, "the hole's profile is not a planar face");
  BRepPrimAPI_MakeRevol revolution(face.Face(), gp_Ax1(origin, direction), 2 * kPi);
  revolution.Build();
  require(revolution.IsDone(), owner, "the revolution of the hole's profile failed");
  return revolution.Shape();
}

}  // namespace occt_host
