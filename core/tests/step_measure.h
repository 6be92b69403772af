// Reads a STEP file back with Open CASCADE's own reader and measures what it holds,
// independently of how the document was built.
#pragma once

#include <string>

struct StepMeasure {
  bool read = false;
  int solids = 0;
  double volume = 0.0;
  double xmin = 0, ymin = 0, zmin = 0, xmax = 0, ymax = 0, zmax = 0;
};

StepMeasure measureStep(const std::string& path);
