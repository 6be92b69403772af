// Part documents on disk in Open CASCADE's binary XDE format (BinXCAF): each body's solid
// with its name and colour, the colours of the faces coloured features made, and the Part's
// part number. The feature history is not kept: a reopened Part holds each body's solid as
// one fixed feature, which keeps those face colours.
#pragma once

#include <memory>
#include <string>

#include "host/status.h"

namespace occt_host {

class Document;

// Writes the Part document to `path` (whatever its extension); a negative status with the
// reason in `error` when the document holds no Part or the file cannot be written.
host::Status savePartDocument(const Document& document, const std::string& path,
                              std::string& error);

// Fills `into`, a new empty Part document, from the file at `path`.
host::Status loadPartDocument(const std::string& path, Document& into, std::string& error);

}  // namespace occt_host
