// The benchmark plate: 200 x 150 x 10 with 400 through-bores of diameter 4 on a 20 x 20
// grid, as part JSON with one "remove" extrude per bore naming the plate in "boolSolids".
// plateJson(n) draws the first n bores of a grid as wide as n needs, on a plate grown to
// hold them (the same plate up to 400).
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace bench {

struct Spot {
  double x, y;
};

constexpr int kPlateGridSide = 20;
constexpr double kBoreRadius = 2.0;

// Centres 7.5 mm apart in x from x = 25 and 5.5 mm apart in y from y = 20.
inline std::vector<Spot> boreGrid(int side = kPlateGridSide) {
  std::vector<Spot> spots;
  for (int j = 0; j < side; ++j) {
    for (int i = 0; i < side; ++i) spots.push_back({25.0 + 7.5 * i, 20.0 + 5.5 * j});
  }
  return spots;
}

// The side of the smallest square grid with `count` spots, at least the plate's 20.
inline int gridSideFor(int count) {
  return std::max(kPlateGridSide, static_cast<int>(std::ceil(std::sqrt(double(count)) - 1e-9)));
}

// The plate's sketch and pad, grown to hold a grid of `side` x `side` bores, as the opening
// of a "flatNode" list that the caller closes.
inline std::string plateItems(int side) {
  const std::string w = std::to_string(std::max(200.0, 50 + 7.5 * (side - 1)));
  const std::string h = std::to_string(std::max(150.0, 40 + 5.5 * (side - 1)));
  std::string json =
      R"({"flatNode":[{"type":"sketch","id":"s_plate","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],)"
      R"("geometries":[{"type":"line","x1":0,"y1":0,"x2":)" +
      w +
      R"(,"y2":0},)"
      R"({"type":"line","x1":)" +
      w + R"(,"y1":0,"x2":)" + w + R"(,"y2":)" + h +
      R"(},)"
      R"({"type":"line","x1":)" +
      w + R"(,"y1":)" + h + R"(,"x2":0,"y2":)" + h +
      R"(},)"
      R"({"type":"line","x1":0,"y1":)" +
      h +
      R"(,"x2":0,"y2":0}]},)"
      R"({"type":"extrude","id":"plate","sketchId":"s_plate","n1Height":10})";
  return json;
}

inline std::string plateJson(int count = kPlateGridSide * kPlateGridSide) {
  const int side = gridSideFor(count);
  std::string json = plateItems(side);
  std::vector<Spot> spots = boreGrid(side);
  spots.resize(static_cast<std::size_t>(count));
  int i = 0;
  for (Spot at : spots) {
    const std::string id = std::to_string(i++);
    json += R"(,{"type":"sketch","id":"s)" + id +
            R"(","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,10,1],"geometries":[{"type":"circle",)" +
            R"("center":{"x":)" + std::to_string(at.x) + R"(,"y":)" + std::to_string(at.y) +
            R"(},"radius":2}]},{"type":"extrude","id":"b)" + id +
            R"(","boolType":"remove","boolSolids":["plate"],"sketchId":"s)" + id +
            R"(","n1Height":10,"direction":{"x":0,"y":0,"z":-1}})";
  }
  return json + "]}";
}

// The plate that plateJson(count) bores, with no bore: what a draw of it costs beside the
// bores (the process's start, the plate, the export).
inline std::string plateAloneJson(int count) {
  return plateItems(gridSideFor(count)) + "]}";
}

// The same plate and bores as one simple hole item with `count` locations on the top face.
inline std::string holeItemJson(int count) {
  const int side = gridSideFor(count);
  std::string json = plateItems(side) +
                     R"(,{"type":"hole","id":"h","holeType":"simple","diameter":4,"depth":10,)"
                     R"("boolSolids":["plate"],"direction":{"dx":0,"dy":0,"dz":-1},"locations":[)";
  std::vector<Spot> spots = boreGrid(side);
  spots.resize(static_cast<std::size_t>(count));
  bool first = true;
  for (Spot at : spots) {
    json += std::string(first ? "" : ",") + R"({"x":)" + std::to_string(at.x) + R"(,"y":)" +
            std::to_string(at.y) + R"(,"z":10})";
    first = false;
  }
  return json + "]}]}";
}

}  // namespace bench
