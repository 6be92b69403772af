#include "cli/outputs.h"

#include <cmath>
#include <cstdlib>

#include "cli/result_json.h"
#include "view_render.h"

namespace kestrun_app {
namespace {

std::string writtenMembers(const char* key, const std::string& path, bool written,
                           const std::string& error) {
  std::string out = ",\"" + std::string(key) + "\":\"" + escapeJson(path.c_str()) + "\",\"" + key +
                    "Written\":" + (written ? "true" : "false");
  if (!written) out += ",\"" + std::string(key) + "Error\":\"" + escapeJson(error.c_str()) + "\"";
  return out;
}

}  // namespace

bool parseMeshOption(const std::string& flag, const char* value, MeshOutputs& outputs) {
  if (flag == "--gltf") {
    outputs.gltf = value;
  } else if (flag == "--stl") {
    outputs.stl = value;
  } else if (flag == "--svg") {
    outputs.svg = value;
  } else if (flag == "--png") {
    outputs.png = value;
  } else if (flag == "--deflection") {
    char* end = nullptr;
    const double mm = std::strtod(value, &end);
    if (end == value || *end != '\0' || !std::isfinite(mm) || mm <= 0) return false;
    outputs.quality.linearDeflection = mm;
  } else {
    return false;
  }
  return true;
}

std::string writeMeshOutputs(const std::shared_ptr<host::Document>& document,
                             const MeshOutputs& outputs, std::vector<std::string>& failures) {
  std::string members;
  std::string error;
  if (!outputs.gltf.empty()) {
    const bool written = occt_host::exportGltf(document, outputs.gltf, &error, outputs.quality);
    members += writtenMembers("gltf", outputs.gltf, written, error);
    if (!written) failures.push_back(notWrittenLine("glTF", outputs.gltf, error));
  }
  if (!outputs.stl.empty()) {
    const bool written = occt_host::exportStl(document, outputs.stl, &error, outputs.quality);
    members += writtenMembers("stl", outputs.stl, written, error);
    if (!written) failures.push_back(notWrittenLine("STL", outputs.stl, error));
  }
  if (!outputs.svg.empty()) {
    const bool written = occt_host::exportSvgSheet(document, outputs.svg, &error);
    members += writtenMembers("svg", outputs.svg, written, error);
    if (!written) failures.push_back(notWrittenLine("SVG", outputs.svg, error));
  }
  return members;
}

std::string writeViewPng(const std::vector<unsigned char>& json, const MeshOutputs& outputs,
                         std::vector<std::string>& failures) {
  if (outputs.png.empty()) return {};
  std::string error;
  const bool written = renderIsometricPng(json, outputs.png, error);
  if (!written) failures.push_back(notWrittenLine("PNG", outputs.png, error));
  return writtenMembers("png", outputs.png, written, error);
}

std::string notWrittenLine(const std::string& kind, const std::string& path,
                           const std::string& reason) {
  // The exporters' own texts for a file they could not open already name it.
  if (reason.rfind("cannot write the ", 0) == 0) return reason;
  return "cannot write the " + kind + " file " + path + ": " + reason;
}

int drawExitStatus(int importStatus, bool outputsWritten) {
  if (importStatus != 0 && importStatus != 1) return importStatus;
  return outputsWritten ? importStatus : kOutputNotWritten;
}

}  // namespace kestrun_app
