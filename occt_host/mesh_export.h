// Triangle-mesh export of a Part document: STL (one solid of all bodies) and glTF (one
// named, coloured mesh per body; ".glb" writes the binary form).
#pragma once

#include <memory>
#include <string>

#include "host/document.h"

namespace occt_host {

// False with a reason in `error` (when given) if the document holds no solid or the file
// cannot be written.
bool exportStl(const std::shared_ptr<host::Document>& document, const std::string& path,
               std::string* error);
bool exportGltf(const std::shared_ptr<host::Document>& document, const std::string& path,
                std::string* error);

}  // namespace occt_host
