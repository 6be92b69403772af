// The triangle-mesh files and the drawing sheet `kestrun draw` can write beside the STEP file.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/result_json.h"
#include "host/document.h"
#include "occt_host/exchange/drawing_export.h"
#include "occt_host/exchange/mesh_export.h"

namespace kestrun_app {

struct MeshOutputs {
  std::string gltf;
  std::string stl;
  std::string svg;  // the hidden-line drawing sheet
  std::string png;  // the shaded isometric view, rendered by the workstation
  occt_host::MeshQuality quality;
};

// Takes --gltf FILE, --stl FILE, --svg FILE, --png FILE and --deflection MM; false for any other
// flag or a deflection that is not a positive number.
bool parseMeshOption(const std::string& flag, const char* value, MeshOutputs& outputs);

// Writes the files asked for and returns their members of the result record
// (",\"gltf\":...,\"gltfWritten\":true"), empty when none was asked for. Each file that
// could not be written adds its line to `failures`.
std::string writeMeshOutputs(const std::shared_ptr<host::Document>& document,
                             const MeshOutputs& outputs, std::vector<std::string>& failures);

// Renders the shaded isometric view of the JSON text when --png asked for it and returns
// its members of the result record, as writeMeshOutputs does.
std::string writeViewPng(const std::vector<unsigned char>& json, const MeshOutputs& outputs,
                         std::vector<std::string>& failures);

// The line standard error shows for an output that could not be written: the file and the
// reason. `kind` names the output ("STEP", "report", ...).
std::string notWrittenLine(const std::string& kind, const std::string& path,
                           const std::string& reason);

// The import's status (0 success, 1 warnings), or kOutputNotWritten when an output could not
// be written; a failed import (2) keeps its status, it says more.
int drawExitStatus(int importStatus, bool outputsWritten);

}  // namespace kestrun_app
