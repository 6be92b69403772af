// A minimal in-memory adapter of host/: a Part document whose Part holds three
// reference planes and a main body, sketches without geometry and pads that fail to update. It
// shows what the core does against another adapter, and runs the same conformance suite as
// occt_host.
#pragma once

#include <memory>

#include "host/document.h"

namespace null_host {

// A new Part document; each call makes an independent one.
std::shared_ptr<host::Document> newPartDocument();

}  // namespace null_host
