// Plain value types exchanged with the host: points, vectors, planes, transforms, colours.
#pragma once

#include <array>
#include <cmath>

namespace host {

struct Vec3 {
  double x = 0, y = 0, z = 0;
};
using Point3 = Vec3;

inline Vec3 operator+(const Vec3& a, const Vec3& b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(const Vec3& a, const Vec3& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(const Vec3& a, double k) {
  return {a.x * k, a.y * k, a.z * k};
}
inline double dot(const Vec3& a, const Vec3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double norm(const Vec3& a) {
  return std::sqrt(dot(a, a));
}

struct Point2 {
  double x = 0, y = 0;
};

// A plane as the host gives it: an origin and two in-plane directions.
struct Plane {
  Point3 origin;
  Vec3 u{1, 0, 0};
  Vec3 v{0, 1, 0};
  Vec3 normal() const { return cross(u, v); }
};

// Row-major 3x4 affine transform: a 3x3 rotation part and a translation column.
struct Transform {
  std::array<double, 12> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
};

struct Color {
  int r = 0, g = 0, b = 0;
};

}  // namespace host
