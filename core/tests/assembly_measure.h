// Reads an assembly STEP file back with Open CASCADE's own XDE reader, independently of how it
// was written: the top assembly's name and, per placed instance, its name, translation and the
// volume of its placed solids.
#pragma once

#include <string>
#include <vector>

struct AssemblyInstance {
  std::string name;
  double x = 0, y = 0, z = 0;  // translation of the instance
  double volume = 0;
  int solids = 0;                                                     // solids of the placed shape
  double xmin = 0, ymin = 0, zmin = 0, xmax = 0, ymax = 0, zmax = 0;  // placed bounding box
};

struct AssemblyMeasure {
  bool read = false;
  std::string rootName;
  std::vector<AssemblyInstance> instances;
  double totalVolume() const;
  int totalSolids() const;
  const AssemblyInstance* find(const std::string& name) const;
};

AssemblyMeasure measureAssembly(const std::string& path);
