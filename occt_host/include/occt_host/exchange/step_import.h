// STEP import through the kernel's XDE reader: the file's root shapes with their solids, names,
// colours and placements. Files that are not STEP, empty, damaged or too large end with a
// clear message; the reader is only started on files it can hold in bounded memory.
#pragma once

#include <TopoDS_Shape.hxx>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/values.h"

namespace occt_host {

// One solid shape of the file, placed where its assembly puts it.
struct StepSolid {
  std::string name;
  std::optional<host::Color> color;
  TopoDS_Shape shape;
};

// A root (free) shape of the file: a part, or an assembly whose leaves are its solids.
struct StepRoot {
  std::string name;
  std::optional<host::Color> color;
  bool assembly = false;
  std::vector<StepSolid> solids;
};

struct StepContent {
  std::vector<StepRoot> roots;  // roots without a solid are left out
};

// The kernel's reader needs many times a file's size in memory; beyond this size a file is
// refused before it is read.
inline constexpr std::uint64_t kMaxStepFileBytes = std::uint64_t{128} << 20;

// Reads the STEP file at `path`. False with a readable message in `error` when the file is
// missing, empty, too large, not STEP, cannot be read or holds no solid.
bool readStepFile(const std::string& path, StepContent& out, std::string& error);

}  // namespace occt_host
