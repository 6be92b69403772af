// Triangle-mesh export of a Part document: STL (one solid of all bodies) and glTF (one
// named mesh per body, in metres with +Y up as glTF wants; the body's colour, and each
// coloured feature's colour on the faces it made; ".glb" writes the binary form). A Product
// document writes its assembly: in glTF one node per instance, named after it and carrying
// its placement, with its Part's bodies as named nodes below; in STL every instance's
// triangles where the instance stands.
#pragma once

#include <memory>
#include <string>

#include "host/document.h"

namespace occt_host {

// How close the triangles follow the surfaces: chord height in millimetres and the largest
// angle between neighbouring triangles in radians. 0.1 mm and 0.5 rad are smooth enough
// to look at and small enough for the web.
struct MeshQuality {
  double linearDeflection = 0.1;
  double angularDeflection = 0.5;
};

// False with a reason in `error` (when given) if the document holds no solid or the file
// cannot be written; a file that cannot be opened is refused before any meshing, with the
// system's reason, and a file the export made is removed again when it fails.
bool exportStl(const std::shared_ptr<host::Document>& document, const std::string& path,
               std::string* error, const MeshQuality& quality = {});
bool exportGltf(const std::shared_ptr<host::Document>& document, const std::string& path,
                std::string* error, const MeshQuality& quality = {});

}  // namespace occt_host
