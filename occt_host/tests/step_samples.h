// STEP files for tests, written with the kernel's XDE writer from shapes whose volumes are known.
#pragma once

#include <string>

namespace occt_host::testing {

// One part: a box of dx x dy x dz at the origin, named and coloured (r, g, b).
bool writeBoxStep(const std::string& path, double dx, double dy, double dz, const std::string& name,
                  int r, int g, int b);
// Two free shapes: a 10 x 10 x 10 cube "CubeA" and a 20 x 10 x 5 box "SlabB" at x = 50.
bool writeTwoRootsStep(const std::string& path);
// One assembly "Pair" with two instances "Left" and "Right" of a 10 x 10 x 10 cube "Cube",
// the second moved by 30 along x.
bool writeAssemblyStep(const std::string& path);

}  // namespace occt_host::testing
