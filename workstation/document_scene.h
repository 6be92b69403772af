// What the workstation shows of a document: its bodies' solids with their colours, and its
// feature tree. Reads occt_host's model; never changes it.
#pragma once

#include <TopoDS_Shape.hxx>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/document.h"
#include "host/values.h"

namespace occt_host {
class Body;
}

namespace workstation {

// A body as the view shows it: its own colour (or none) on the solid, and the colour of
// each face a coloured feature made, as the STEP and glTF files colour them.
struct SceneBody {
  std::string name;
  TopoDS_Shape solid;
  std::uint64_t stamp = 0;
  bool hasColor = false;
  host::Color color;
  std::vector<std::pair<TopoDS_Shape, host::Color>> faceColors;
  // The Part's body itself; null for a body an instance of a Product shows.
  std::shared_ptr<occt_host::Body> body;
};

// A node of the model tree: name, kind ("Body", "Pad", "Sketch", "Plane", ...), whether its
// last computation failed (with the kernel's text) and its children. `hostName` is the host
// object's own name (empty for an item of the last import that made no host object, which
// the tree shows all the same); `name` is what the tree shows.
struct TreeItem {
  std::string name;
  std::string type;
  bool failed = false;
  std::string error;
  std::vector<TreeItem> children;
  std::string hostName;
  bool built = true;
};

// The shown bodies that have a solid, in tree order; empty for a document without a Part.
std::vector<SceneBody> sceneBodies(const std::shared_ptr<host::Document>& document);
// The Part's tree under a root item named after the document.
TreeItem modelTree(const std::shared_ptr<host::Document>& document);

}  // namespace workstation
