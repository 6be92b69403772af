// Part JSON for the core's tests: sketch geometries, axis-aligned sketches and the plate that
// many tests start from, written the one way every test writes them.
#pragma once

#include <string>

namespace part_json {

inline std::string circle(double x, double y, double r) {
  return "{\"type\":\"circle\",\"center\":{\"x\":" + std::to_string(x) +
         ",\"y\":" + std::to_string(y) + "},\"radius\":" + std::to_string(r) + "}";
}

inline std::string line(double x1, double y1, double x2, double y2) {
  return "{\"type\":\"line\",\"x1\":" + std::to_string(x1) + ",\"y1\":" + std::to_string(y1) +
         ",\"x2\":" + std::to_string(x2) + ",\"y2\":" + std::to_string(y2) + "}";
}

// A closed rectangle of four lines in sketch coordinates.
inline std::string rectangle(double x0, double y0, double x1, double y1) {
  return line(x0, y0, x1, y0) + "," + line(x1, y0, x1, y1) + "," + line(x1, y1, x0, y1) + "," +
         line(x0, y1, x0, y0);
}

// A sketch on the plane a 4 x 4 matrix (JSON array text) places.
inline std::string sketchOn(const std::string& id, const std::string& matrix,
                            const std::string& geometries) {
  return "{\"type\":\"sketch\",\"id\":\"" + id + "\",\"matrix\":" + matrix + ",\"geometries\":[" +
         geometries + "]}";
}

// The horizontal sketch plane at height z.
inline std::string planeAtZ(double z) {
  return "[1,0,0,0,0,1,0,0,0,0,1,0,0,0," + std::to_string(z) + ",1]";
}
// The XZ plane: sketch x along x, sketch y along z.
inline const std::string kPlaneXZ = "[1,0,0,0, 0,0,1,0, 0,-1,0,0, 0,0,0,1]";
// The YZ plane through the origin, normal to x.
inline const std::string kPlaneYZ = "[0,1,0,0, 0,0,1,0, 1,0,0,0, 0,0,0,1]";

// An axis-aligned sketch at height z.
inline std::string sketchAt(const std::string& id, double z, const std::string& geometries) {
  return sketchOn(id, planeAtZ(z), geometries);
}

// The 100 x 100 x 10 plate: 100,000 mm^3.
inline const std::string kPlate =
    sketchAt("s_plate", 0, rectangle(0, 0, 100, 100)) +
    R"(,{"type":"extrude","id":"plate","sketchId":"s_plate","n1Height":10})";

}  // namespace part_json
