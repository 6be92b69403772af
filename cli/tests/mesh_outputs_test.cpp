// glTF and STL files written by `kestrun draw`, opened by an independent loader (assimp)
// and measured.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "cli_fixture.h"
#include "stl_measure.h"

namespace {

using kestrun_test::readText;

// Signed volume of a binary STL and its triangle count.
double stlVolume(const std::string& bytes, uint32_t& triangles) {
  const kestrun_test::StlMeasure stl = kestrun_test::measureStl(bytes);
  triangles = stl.triangles;
  return stl.volume;
}

// What assimp's XML dump says about the scene: each node's meshes, each mesh's material,
// each material's base colour back in 0..255 sRGB, and the box around all positions.
struct Scene {
  std::map<std::string, std::vector<int>> nodeMeshes;
  std::vector<int> meshMaterial;
  std::vector<std::array<long, 3>> materialColour;
  std::vector<double> metallic, roughness;  // by material, when the material states them
  double min[3] = {1e9, 1e9, 1e9}, max[3] = {-1e9, -1e9, -1e9};
};

long toSrgb255(double linear) {
  const double s = linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
  return std::lround(s * 255);
}

void readPositions(const std::string& block, Scene& scene) {
  std::istringstream in(block);
  double xyz[3];
  while (in >> xyz[0] >> xyz[1] >> xyz[2]) {
    for (int i = 0; i < 3; ++i) {
      scene.min[i] = std::min(scene.min[i], xyz[i]);
      scene.max[i] = std::max(scene.max[i], xyz[i]);
    }
  }
}

// The text between `open` and the next `close` after `from`; npos in `from` when none.
std::string between(const std::string& xml, const std::string& open, const std::string& close,
                    size_t& from) {
  const size_t start = xml.find(open, from);
  const size_t stop = start == std::string::npos ? start : xml.find(close, start + open.size());
  if (stop == std::string::npos) {
    from = std::string::npos;
    return "";
  }
  from = stop + close.size();
  return xml.substr(start + open.size(), stop - start - open.size());
}

// Each <Node name="..."> with the numbers of its <MeshRefs>.
void readNodes(const std::string& xml, Scene& scene) {
  for (size_t at = 0;;) {
    const std::string name = between(xml, "<Node name=\"", "\"", at);
    if (at == std::string::npos) break;
    // Its own meshes come before its children and its end.
    const size_t nodeEnd = std::min(xml.find("</Node>", at), xml.find("<Node ", at));
    size_t refsAt = at;
    std::istringstream refs(between(xml, "<MeshRefs", "</MeshRefs>", refsAt));
    if (refsAt == std::string::npos || refsAt > nodeEnd) continue;
    refs.ignore(1 << 20, '>');
    for (int mesh; refs >> mesh;) scene.nodeMeshes[name].push_back(mesh);
  }
}

Scene readScene(const std::string& xml) {
  Scene scene;
  readNodes(xml, scene);
  for (size_t at = 0;;) {
    const std::string index = between(xml, "material_index=\"", "\"", at);
    if (at == std::string::npos) break;
    scene.meshMaterial.push_back(std::stoi(index));
  }
  for (size_t at = 0;;) {
    const std::string property = between(xml, "key=\"$clr.diffuse\"", "</MatProperty>", at);
    if (at == std::string::npos) break;
    std::istringstream values(property.substr(property.find('>') + 1));
    double r = 0, g = 0, b = 0;
    values >> r >> g >> b;
    scene.materialColour.push_back({toSrgb255(r), toSrgb255(g), toSrgb255(b)});
  }
  for (auto [key, out] : {std::pair{"key=\"$mat.metallicFactor\"", &scene.metallic},
                          std::pair{"key=\"$mat.roughnessFactor\"", &scene.roughness}}) {
    for (size_t at = 0;;) {
      const std::string property = between(xml, key, "</MatProperty>", at);
      if (at == std::string::npos) break;
      out->push_back(std::stod(property.substr(property.find('>') + 1)));
    }
  }
  for (size_t at = 0;;) {
    const std::string block = between(xml, "<Positions", "</Positions>", at);
    if (at == std::string::npos) break;
    readPositions(block.substr(block.find('>') + 1), scene);
  }
  return scene;
}

std::set<std::array<long, 3>> coloursOf(const Scene& scene, const std::string& node) {
  std::set<std::array<long, 3>> colours;
  for (int mesh : scene.nodeMeshes.at(node))
    colours.insert(scene.materialColour.at(scene.meshMaterial.at(mesh)));
  return colours;
}

class MeshOutputs : public kestrun_test::CliTest {
 protected:
  // Draws the two-body part: a 40 x 30 x 10 block coloured (200, 30, 30) with a bore of
  // radius 5 through it (the bore's own walls uncoloured), and a separate 10 x 10 x 20 post
  // coloured (30, 60, 200) in a body of its own.
  int draw(const std::string& extra) {
    return shell(kestrun() + " draw " + KESTRUN_TEST_DATA + "/two_coloured_bodies.json --step " +
                 (dir / "part.step").string() + " --log " + (dir / "log.txt").string() + " " +
                 extra + " > " + (dir / "result.json").string());
  }
};

TEST_F(MeshOutputs, StlVolumeMatchesTheSolidsAtAFineDeflection) {
  const std::string stl = (dir / "part.stl").string();
  ASSERT_EQ(draw("--stl " + stl + " --deflection 0.01"), 0) << readText(dir / "result.json");
  EXPECT_NE(readText(dir / "result.json").find("\"stlWritten\":true"), std::string::npos);
  uint32_t triangles = 0;
  const double volume = stlVolume(readText(stl), triangles);
  // Block 40*30*10 = 12000 less the bore pi*5^2*10 = 250 pi, plus the post 10*10*20 = 2000.
  const double expected = 14000 - 250 * M_PI;  // 13214.60
  EXPECT_NEAR(volume / expected, 1.0, 1e-3) << volume;
  // Six faces of the post make 12 triangles; the bore's circle needs many more.
  EXPECT_GT(triangles, 100u);
}

TEST_F(MeshOutputs, AMeshAloneIsEnoughOutput) {
  // Only an STL file asked for: no STEP file is needed, and none is written.
  const std::string stl = (dir / "only.stl").string();
  ASSERT_EQ(shell(kestrun() + " draw " + KESTRUN_TEST_DATA + "/two_coloured_bodies.json --stl " +
                  stl + " > " + (dir / "result.json").string() + " 2>/dev/null"),
            0);
  EXPECT_NE(readText(dir / "result.json").find("\"stlWritten\":true"), std::string::npos);
  uint32_t triangles = 0;
  // 14000 - 250 pi at the default deflection of 0.1 mm: the bore's polygon falls short.
  EXPECT_NEAR(stlVolume(readText(stl), triangles) / (14000 - 250 * M_PI), 1.0, 1e-2);
  EXPECT_FALSE(std::filesystem::exists(dir / "part.step"));
  // Nothing to write at all is a usage error.
  EXPECT_EQ(shell(kestrun() + " draw " + KESTRUN_TEST_DATA + "/two_coloured_bodies.json " +
                  "> /dev/null 2>&1"),
            64);
}

TEST_F(MeshOutputs, CoarserDeflectionMakesFewerTriangles) {
  uint32_t fine = 0, coarse = 0;
  ASSERT_EQ(draw("--stl " + (dir / "fine.stl").string() + " --deflection 0.01"), 0);
  ASSERT_EQ(draw("--stl " + (dir / "coarse.stl").string() + " --deflection 1"), 0);
  stlVolume(readText(dir / "fine.stl"), fine);
  const double coarseVolume = stlVolume(readText(dir / "coarse.stl"), coarse);
  EXPECT_LT(coarse * 2, fine);
  // An inscribed polygon cuts a smaller bore: the coarse part weighs more, not less.
  EXPECT_GT(coarseVolume, 14000 - 250 * M_PI);
}

TEST_F(MeshOutputs, GltfOpensWithOneNamedMeshPerBodyAndItsColours) {
#ifndef KESTRUN_ASSIMP
  GTEST_SKIP() << "assimp (Debian assimp-utils) is not installed";
#else
  const std::string glb = (dir / "part.glb").string();
  ASSERT_EQ(draw("--gltf " + glb), 0) << readText(dir / "result.json");
  EXPECT_NE(readText(dir / "result.json").find("\"gltfWritten\":true"), std::string::npos);
  const std::string xml = (dir / "part.xml").string();
  ASSERT_EQ(shell(std::string(KESTRUN_ASSIMP) + " dump " + glb + " " + xml + " > /dev/null"), 0);
  const Scene scene = readScene(readText(xml));

  // Two bodies, two named nodes: the main body and the post's body.
  ASSERT_EQ(scene.nodeMeshes.size(), 2u);
  ASSERT_TRUE(scene.nodeMeshes.count("PartBody"));
  ASSERT_TRUE(scene.nodeMeshes.count("Body.2"));
  // The block shows its red, and so do the bore's walls, which no coloured feature made:
  // the body's colour covers them, as in the 3D view; every face of the post is blue.
  EXPECT_EQ(coloursOf(scene, "PartBody"), (std::set<std::array<long, 3>>{{200, 30, 30}}));
  EXPECT_EQ(coloursOf(scene, "Body.2"), (std::set<std::array<long, 3>>{{30, 60, 200}}));
  EXPECT_EQ(scene.meshMaterial.size(), 2u);
  // Every material the meshes use is a dielectric: metallic 0, roughness 0.5 (without the
  // factors a glTF material is fully metallic).
  for (int material : scene.meshMaterial) {
    ASSERT_LT(static_cast<size_t>(material), scene.metallic.size());
    ASSERT_LT(static_cast<size_t>(material), scene.roughness.size());
    EXPECT_EQ(scene.metallic[static_cast<size_t>(material)], 0.0);
    EXPECT_EQ(scene.roughness[static_cast<size_t>(material)], 0.5);
  }

  // Metres with +Y up: x 0..110 mm, height z 0..20 mm as y, depth y 0..30 mm as -z.
  EXPECT_NEAR(scene.min[0], 0.0, 1e-6);
  EXPECT_NEAR(scene.max[0], 0.110, 1e-6);
  EXPECT_NEAR(scene.min[1], 0.0, 1e-6);
  EXPECT_NEAR(scene.max[1], 0.020, 1e-6);
  EXPECT_NEAR(scene.min[2], -0.030, 1e-6);
  EXPECT_NEAR(scene.max[2], 0.0, 1e-6);
#endif
}

TEST_F(MeshOutputs, BadDeflectionIsAUsageErrorAndAnUnwritableFileIsReported) {
  EXPECT_EQ(draw("--gltf x.glb --deflection 0"), 64);
  EXPECT_EQ(draw("--gltf x.glb --deflection abc"), 64);
  // The import itself succeeded, but a file asked for is missing: the run has failed, and
  // the record and standard error say which file and why.
  const std::string stl = (dir / "missing" / "part.stl").string();
  EXPECT_EQ(draw("--stl " + stl + " 2> " + (dir / "err.txt").string()), 3);
  const std::string result = readText(dir / "result.json");
  EXPECT_NE(result.find("\"stepWritten\":true"), std::string::npos) << result;
  EXPECT_NE(result.find("\"stlWritten\":false,\"stlError\":\"cannot write the STL file " + stl +
                        ": No such file or directory\""),
            std::string::npos)
      << result;
  const std::string err = readText(dir / "err.txt");
  EXPECT_NE(
      err.find("\nkestrun: cannot write the STL file " + stl + ": No such file or directory\n"),
      std::string::npos)
      << err;
}

// Every kind of output: one that cannot be written fails the run with status 3, and only
// that file is missing; an import that failed keeps its own status 2.
TEST_F(MeshOutputs, EachUnwritableOutputFailsTheRun) {
  const std::string missing = (dir / "missing").string();
  const std::string part = std::string(KESTRUN_TEST_DATA) + "/two_coloured_bodies.json";
  const auto run = [&](const std::string& file, const std::string& options) {
    return shell(kestrun() + " draw " + file + " --log " + (dir / "log.txt").string() + " " +
                 options + " > " + (dir / "result.json").string() + " 2> " +
                 (dir / "err.txt").string());
  };
  struct Case {
    std::string options, line, member;
  };
  const Case cases[] = {
      {"--step " + missing + "/a.step", "cannot write the STEP file " + missing + "/a.step",
       "\"stepWritten\":false,\"stepError\":"},
      {"--step " + (dir / "a.step").string() + " --gltf " + missing + "/a.glb",
       "cannot write the glTF file " + missing + "/a.glb", "\"gltfWritten\":false,"},
      {"--report " + missing + "/r.json", "cannot write the report file " + missing + "/r.json",
       "\"reportWritten\":false,\"reportError\":"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    EXPECT_EQ(run(part, c.options), 3);
    const std::string err = readText(dir / "err.txt");
    EXPECT_NE(err.find("kestrun: " + c.line + ": No such file or directory\n"), std::string::npos)
        << err;
    // The result record still comes on standard output, and says what became of the file.
    const std::string result = readText(dir / "result.json");
    EXPECT_EQ(result.rfind("{\"status\":0,", 0), 0u) << result;
    EXPECT_NE(result.find(c.member), std::string::npos) << result;
  }
  // The files that could be written were.
  EXPECT_TRUE(std::filesystem::exists(dir / "a.step"));
  // Standard output itself can fail (a full disk), and so can the report printed there.
  EXPECT_EQ(shell(kestrun() + " draw " + part + " --step " + (dir / "a.step").string() + " --log " +
                  (dir / "log.txt").string() + " > /dev/full 2> " + (dir / "err.txt").string()),
            3);
  EXPECT_NE(readText(dir / "err.txt")
                .find("cannot write the result record on standard output: No space left on device"),
            std::string::npos);
  EXPECT_EQ(shell(kestrun() + " draw " + part + " --report - --log " + (dir / "log.txt").string() +
                  " > /dev/full 2> /dev/null"),
            3);
  // The import failed as well: its status wins.
  EXPECT_EQ(run(std::string(KESTRUN_TEST_DATA) + "/../failing_items.json",
                "--report " + (dir / "f.json").string() + " --stl " + missing + "/a.stl"),
            2);
}

}  // namespace
