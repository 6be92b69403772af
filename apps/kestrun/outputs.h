// The triangle-mesh files `kestrun draw` can write beside the STEP file.
#pragma once

#include <memory>
#include <string>

#include "host/document.h"
#include "occt_host/mesh_export.h"

namespace kestrun_app {

struct MeshOutputs {
  std::string gltf;
  std::string stl;
  occt_host::MeshQuality quality;
};

// Takes --gltf FILE, --stl FILE and --deflection MM; false for any other flag or a
// deflection that is not a positive number.
bool parseMeshOption(const std::string& flag, const char* value, MeshOutputs& outputs);

// Writes the files asked for and returns their members of the result record
// (",\"gltf\":...,\"gltfWritten\":true"), empty when none was asked for.
std::string writeMeshOutputs(const std::shared_ptr<host::Document>& document,
                             const MeshOutputs& outputs);

}  // namespace kestrun_app
