// glTF and STL files of a product drawn by `kestrun draw --mode 2`: the assimp loader reads
// the scene back, and the placed triangles are measured against the example's figures.
#include <rapidjson/document.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "cli_fixture.h"
#include "stl_measure.h"

namespace {

using kestrun_test::readText;
using Matrix = std::array<double, 16>;  // row by row, translation in the fourth column
using Box = std::array<double, 6>;      // xmin, ymin, zmin, xmax, ymax, zmax

constexpr Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Matrix times(const Matrix& a, const Matrix& b) {
  Matrix out{};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      for (int k = 0; k < 4; ++k) out[r * 4 + c] += a[r * 4 + k] * b[k * 4 + c];
  return out;
}

// Signed volume of a binary STL and the box around its vertices.
double stlVolume(const std::string& bytes, Box& box) {
  const kestrun_test::StlMeasure stl = kestrun_test::measureStl(bytes);
  box = stl.box;
  return stl.volume;
}

// The scene as assimp's XML dump shows it: the node tree with each node's own matrix and
// meshes, and each mesh's positions.
struct Scene {
  struct Node {
    std::string name;
    Matrix local = kIdentity;
    std::vector<int> meshes;
    std::vector<int> children;
  };
  std::vector<Node> nodes;  // nodes[0] is the root
  std::vector<std::vector<std::array<double, 3>>> positions;
  std::vector<int> meshMaterial;
  std::vector<std::array<long, 3>> materialColour;  // 0..255 sRGB

  // The colours of the meshes of `node`.
  std::set<std::array<long, 3>> colours(int node) const {
    std::set<std::array<long, 3>> out;
    for (int mesh : nodes[node].meshes) out.insert(materialColour.at(meshMaterial.at(mesh)));
    return out;
  }

  // The box around the meshes below `node`, each placed by its nodes' matrices.
  Box worldBox(int node, const Matrix& parent = kIdentity) const {
    Box box = {1e9, 1e9, 1e9, -1e9, -1e9, -1e9};
    add(node, parent, box);
    return box;
  }

 private:
  void add(int node, const Matrix& parent, Box& box) const {
    const Matrix world = times(parent, nodes[node].local);
    for (int mesh : nodes[node].meshes) {
      for (const auto& p : positions.at(mesh)) {
        for (int r = 0; r < 3; ++r) {
          const double x = world[r * 4] * p[0] + world[r * 4 + 1] * p[1] + world[r * 4 + 2] * p[2] +
                           world[r * 4 + 3];
          box[r] = std::min(box[r], x);
          box[3 + r] = std::max(box[3 + r], x);
        }
      }
    }
    for (int child : nodes[node].children) add(child, world, box);
  }
};

// A linear colour component as the 0..255 sRGB value it was given as.
long toSrgb255(double linear) {
  const double s = linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
  return std::lround(s * 255);
}

// The numbers after the '>' that ends the tag starting at `at`, up to `close`.
std::istringstream numbersAfter(const std::string& xml, size_t at, const char* close) {
  const size_t start = xml.find('>', at) + 1;
  return std::istringstream(xml.substr(start, xml.find(close, start) - start));
}

Scene readScene(const std::string& xml) {
  Scene scene;
  std::vector<int> open;
  const std::string tags[] = {"<Node name=\"",       "</Node>",    "<Matrix4>",
                              "<MeshRefs",           "<Positions", "material_index=\"",
                              "key=\"$clr.diffuse\""};
  for (size_t at = 0;;) {
    size_t next = std::string::npos;
    int which = -1;
    for (int t = 0; t < 7; ++t) {
      const size_t found = xml.find(tags[t], at);
      if (found < next) next = found, which = t;
    }
    if (which < 0) break;
    at = next + tags[which].size();
    if (which == 0) {
      Scene::Node node;
      node.name = xml.substr(at, xml.find('"', at) - at);
      if (!open.empty()) scene.nodes[open.back()].children.push_back(int(scene.nodes.size()));
      open.push_back(int(scene.nodes.size()));
      scene.nodes.push_back(node);
    } else if (which == 1 && !open.empty()) {
      open.pop_back();
    } else if (which == 2 && !open.empty()) {
      std::istringstream in = numbersAfter(xml, next, "</Matrix4>");
      for (double& value : scene.nodes[open.back()].local) in >> value;
    } else if (which == 3 && !open.empty()) {
      std::istringstream in = numbersAfter(xml, next, "</MeshRefs>");
      for (int mesh; in >> mesh;) scene.nodes[open.back()].meshes.push_back(mesh);
    } else if (which == 4) {
      std::istringstream in = numbersAfter(xml, next, "</Positions>");
      scene.positions.emplace_back();
      for (std::array<double, 3> p; in >> p[0] >> p[1] >> p[2];)
        scene.positions.back().push_back(p);
    } else if (which == 5) {
      scene.meshMaterial.push_back(std::atoi(xml.c_str() + at));
    } else if (which == 6) {
      std::istringstream in = numbersAfter(xml, next, "</MatProperty>");
      double rgb[3] = {0, 0, 0};
      in >> rgb[0] >> rgb[1] >> rgb[2];
      scene.materialColour.push_back({toSrgb255(rgb[0]), toSrgb255(rgb[1]), toSrgb255(rgb[2])});
    }
  }
  return scene;
}

// The JSON chunk of a binary glTF file.
rapidjson::Document glbJson(const std::string& bytes) {
  rapidjson::Document json;
  uint32_t length = 0;
  if (bytes.size() >= 20) std::memcpy(&length, bytes.data() + 12, 4);
  if (bytes.size() >= 20 + size_t(length)) json.Parse(bytes.data() + 20, length);
  return json;
}

// Expects `box` (metres) within `tolerance` of `expected`.
void expectBox(const Box& box, const Box& expected, double tolerance, const std::string& what) {
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(box[i], expected[i], tolerance) << what << " bound " << i;
}

class ProductMeshOutputs : public kestrun_test::CliTest {
 protected:
  // Draws a product JSON with its Part files under the test's own folder.
  int draw(const std::string& json, const std::string& extra) {
    return shell("TMPDIR=" + dir.string() + " " + kestrun() + " draw " + json +
                 " --mode 2 --step " + (dir / "product.step").string() + " --log " +
                 (dir / "log.txt").string() + " --deflection 0.01 " + extra + " > " +
                 (dir / "result.json").string() + " 2>/dev/null");
  }

  Scene dump(const std::string& glb) {
    const std::string xml = (dir / "scene.xml").string();
    EXPECT_EQ(shell(std::string(KESTRUN_ASSIMP) + " dump " + glb + " " + xml + " > /dev/null"), 0);
    return readScene(readText(xml));
  }

  static std::string example() {
    return std::string(KESTRUN_EXAMPLES) + "/pin_stand_assembly.json";
  }
};

TEST_F(ProductMeshOutputs, StlHoldsEveryInstancePlaced) {
  const std::string stl = (dir / "stand.stl").string();
  ASSERT_EQ(draw(example(), "--stl " + stl), 0) << readText(dir / "result.json");
  EXPECT_NE(readText(dir / "result.json").find("\"stlWritten\":true"), std::string::npos);
  Box box;
  const double volume = stlVolume(readText(stl), box);
  // The example's parts, each instance counted: the plate 100 * 60 * 10 = 60000, two pins
  // of radius 5 and height 40 (one Part shown twice) 2 * pi * 5^2 * 40 = 2000 pi, the cap of
  // radius 8 and height 5 pi * 8^2 * 5 = 320 pi: 60000 + 2320 pi = 67288.49 mm^3.
  const double expected = 60000 + 2320 * M_PI;
  EXPECT_NEAR(volume / expected, 1.0, 1e-3) << volume;
  // The plate spans x 0..100, y 0..60, z 0..10; the pins stand on it at z 10 and reach
  // 10 + 40 = 50.
  const Box stand = {0, 0, 0, 100, 60, 50};
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(box[i], stand[i], 1e-4) << i;
}

TEST_F(ProductMeshOutputs, GltfHasOneNodePerInstanceWithItsPlacement) {
#ifndef KESTRUN_ASSIMP
  GTEST_SKIP() << "assimp (Debian assimp-utils) is not installed";
#else
  const std::string glb = (dir / "stand.glb").string();
  ASSERT_EQ(draw(example(), "--gltf " + glb), 0) << readText(dir / "result.json");
  EXPECT_NE(readText(dir / "result.json").find("\"gltfWritten\":true"), std::string::npos);
  const Scene scene = dump(glb);
  ASSERT_FALSE(scene.nodes.empty());
  EXPECT_EQ(scene.nodes[0].name, "Pin stand");
  std::map<std::string, Box> boxes;
  for (int child : scene.nodes[0].children) {
    const Scene::Node& instance = scene.nodes[child];
    // Below each instance its Part's one body, holding the triangles.
    ASSERT_EQ(instance.children.size(), 1u) << instance.name;
    EXPECT_EQ(scene.nodes[instance.children[0]].name, "PartBody");
    boxes[instance.name] = scene.worldBox(child);
  }
  ASSERT_EQ(boxes.size(), 4u);
  // Each instance where the JSON places it, in glTF's metres with +Y up: (x, y, z) mm shows
  // as (x, z, -y) / 1000. Plate: x 0..100, y 0..60, z 0..10. Pins of radius 5 and height 40
  // at (20, 30, 10) and (80, 30, 10): x 15..25 and 75..85, y 25..35, z 10..50. Cap of
  // radius 8 and height 5 at (50, 30, 10): x 42..58, y 22..38, z 10..15. Round walls are
  // polygons with a chord height of 0.01 mm, so their extremes may fall that much short.
  const double t = 2e-5;
  expectBox(boxes["Base plate"], {0, 0, -0.060, 0.100, 0.010, 0}, t, "plate");
  expectBox(boxes["Pin left"], {0.015, 0.010, -0.035, 0.025, 0.050, -0.025}, t, "left pin");
  expectBox(boxes["Pin right"], {0.075, 0.010, -0.035, 0.085, 0.050, -0.025}, t, "right pin");
  expectBox(boxes["Cap"], {0.042, 0.010, -0.038, 0.058, 0.015, -0.022}, t, "cap");

  // The Part both pins show is stored once: four meshes share three sets of positions.
  rapidjson::Document json = glbJson(readText(glb));
  ASSERT_TRUE(json.IsObject() && json.HasMember("meshes"));
  std::set<int> positions;
  for (const auto& mesh : json["meshes"].GetArray())
    for (const auto& primitive : mesh["primitives"].GetArray())
      positions.insert(primitive["attributes"]["POSITION"].GetInt());
  EXPECT_EQ(json["meshes"].Size(), 4u);
  EXPECT_EQ(positions.size(), 3u);
#endif
}

TEST_F(ProductMeshOutputs, TurnedInstanceKeepsItsBodiesColoursAndRotation) {
#ifndef KESTRUN_ASSIMP
  GTEST_SKIP() << "assimp (Debian assimp-utils) is not installed";
#else
  const std::string glb = (dir / "pairs.glb").string(), stl = (dir / "pairs.stl").string();
  const std::string json = std::string(KESTRUN_TEST_DATA) + "/coloured_pair_assembly.json";
  ASSERT_EQ(draw(json, "--gltf " + glb + " --stl " + stl), 0) << readText(dir / "result.json");
  const Scene scene = dump(glb);
  ASSERT_FALSE(scene.nodes.empty());
  EXPECT_EQ(scene.nodes[0].name, "Coloured pairs");
  std::map<std::string, Box> boxes;
  for (int child : scene.nodes[0].children) {
    const Scene::Node& instance = scene.nodes[child];
    // The Part's two bodies, by name, below each instance.
    ASSERT_EQ(instance.children.size(), 2u) << instance.name;
    const int block = instance.children[0], post = instance.children[1];
    EXPECT_EQ(scene.nodes[block].name, "PartBody");
    EXPECT_EQ(scene.nodes[post].name, "Body.2");
    // The colours the JSON gave, kept through the Part's file: the block red (its bore's
    // walls plain, white by default), the post blue.
    EXPECT_EQ(scene.colours(block), (std::set<std::array<long, 3>>{{200, 30, 30}, {255, 255, 255}}))
        << instance.name;
    EXPECT_EQ(scene.colours(post), (std::set<std::array<long, 3>>{{30, 60, 200}})) << instance.name;
    boxes[instance.name] = scene.worldBox(child);
  }
  ASSERT_EQ(boxes.size(), 2u);
  // The Part: a 40 x 30 x 10 block at the origin (a bore through it) and a 10 x 10 x 20 post
  // at x 100..110, y 0..10: x 0..110, y 0..30, z 0..20, in glTF (x, z, -y) / 1000.
  expectBox(boxes["Left pair"], {0, 0, -0.030, 0.110, 0.020, 0}, 1e-6, "left pair");
  // Turned a quarter about z and moved 200 along x: (x, y, z) -> (200 - y, x, z). The block
  // goes to x 170..200, y 0..40; the post to x 190..200, y 100..110: x 170..200, y 0..110.
  expectBox(boxes["Turned pair"], {0.170, 0, -0.110, 0.200, 0.020, 0}, 1e-6, "turned pair");

  // Both instances in the STL: twice the block less its bore and the post,
  // 2 * (40 * 30 * 10 - pi * 5^2 * 10 + 10 * 10 * 20) = 28000 - 500 pi = 26429.20 mm^3.
  Box box;
  const double volume = stlVolume(readText(stl), box);
  EXPECT_NEAR(volume / (28000 - 500 * M_PI), 1.0, 1e-3) << volume;
  const Box both = {0, 0, 0, 200, 110, 20};
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(box[i], both[i], 1e-4) << i;
#endif
}

}  // namespace

TEST_F(ProductMeshOutputs, StandardErrorStaysQuietUnlessAskedForMore) {
  // Staging a product runs the add-in's own code; its diagnostic lines are for -v.
  const std::string err = (dir / "err.txt").string();
  const std::string run = "TMPDIR=" + dir.string() + " " + kestrun() + " draw " + example() +
                          " --mode 2 --step " + (dir / "product.step").string();
  ASSERT_EQ(shell(run + " > /dev/null 2> " + err), 0);
  EXPECT_EQ(readText(err).find("level=INFO"), std::string::npos) << readText(err);
  ASSERT_EQ(shell(run + " -v > /dev/null 2> " + err), 0);
  EXPECT_NE(readText(err).find("level=INFO"), std::string::npos);
}
