// Measures a binary STL file as an independent reader would: its triangles, the signed
// volume they enclose and the box around their vertices.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace kestrun_test {

struct StlMeasure {
  uint32_t triangles = 0;
  double volume = 0;  // 0 for a file whose length does not match its triangle count
  std::array<double, 6> box{1e9, 1e9, 1e9, -1e9, -1e9, -1e9};  // min x y z, max x y z
};

// The volume is the sum of the tetrahedra from the origin to each triangle,
// v1 . (v2 x v3) / 6.
inline StlMeasure measureStl(const std::string& bytes) {
  StlMeasure out;
  if (bytes.size() < 84) return out;
  std::memcpy(&out.triangles, bytes.data() + 80, 4);
  if (bytes.size() != 84 + 50ull * out.triangles) return out;
  for (uint32_t t = 0; t < out.triangles; ++t) {
    float v[9];
    std::memcpy(v, bytes.data() + 84 + 50ull * t + 12, sizeof v);
    out.volume += (v[0] * (double(v[4]) * v[8] - double(v[5]) * v[7]) -
                   v[1] * (double(v[3]) * v[8] - double(v[5]) * v[6]) +
                   v[2] * (double(v[3]) * v[7] - double(v[4]) * v[6])) /
                  6.0;
    for (int i = 0; i < 9; ++i) {
      out.box[i % 3] = std::min<double>(out.box[i % 3], v[i]);
      out.box[3 + i % 3] = std::max<double>(out.box[3 + i % 3], v[i]);
    }
  }
  return out;
}

}  // namespace kestrun_test
