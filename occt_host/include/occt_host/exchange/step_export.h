// STEP export of a Part document, keeping each body's name and colour, and the colour of
// each coloured feature on the faces that feature made; or of a Product document as an
// assembly whose instances keep their names and placements.
#pragma once

#include <memory>
#include <string>

#include "host/document.h"

namespace occt_host {

// Writes every body that has a solid as one named, coloured shape whose faces carry the
// colours of the features that made them. False with a reason
// in `error` (when given) if the document holds no Part or the file cannot be written.
bool exportStep(const std::shared_ptr<host::Document>& document, const std::string& path,
                std::string* error);

}  // namespace occt_host
