// Part JSON for the core's tests: sketch geometries, axis-aligned sketches and the plate that
// many tests start from, written the one way every test writes them.
#pragma once

#include <string>

namespace part_json {

// A closed rectangle of four lines in sketch coordinates.
inline std::string rectangle(double x0, double y0, double x1, double y1) {
  auto line = [](double a, double b, double c, double d) {
    return "{\"type\":\"line\",\"x1\":" + std::to_string(a) + ",\"y1\":" + std::to_string(b) +
           ",\"x2\":" + std::to_string(c) + ",\"y2\":" + std::to_string(d) + "}";
  };
  return line(x0, y0, x1, y0) + "," + line(x1, y0, x1, y1) + "," + line(x1, y1, x0, y1) + "," +
         line(x0, y1, x0, y0);
}

inline std::string circle(double x, double y, double r) {
  return "{\"type\":\"circle\",\"center\":{\"x\":" + std::to_string(x) +
         ",\"y\":" + std::to_string(y) + "},\"radius\":" + std::to_string(r) + "}";
}

// An axis-aligned sketch at height z.
inline std::string sketchAt(const std::string& id, double z, const std::string& geometries) {
  return "{\"type\":\"sketch\",\"id\":\"" + id + "\",\"matrix\":[1,0,0,0,0,1,0,0,0,0,1,0,0,0," +
         std::to_string(z) + ",1],\"geometries\":[" + geometries + "]}";
}

// The 100 x 100 x 10 plate: 100,000 mm^3.
inline const std::string kPlate =
    sketchAt("s_plate", 0, rectangle(0, 0, 100, 100)) +
    R"(,{"type":"extrude","id":"plate","sketchId":"s_plate","n1Height":10})";

}  // namespace part_json
