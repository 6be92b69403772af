// Kernel-side access to what the host built, for exporters and tests.
#pragma once

#include <TopoDS_Shape.hxx>

#include "host/spec_object.h"

namespace occt_host {

// The solid of a body, of a Part (its main body), or of the body after a solid feature;
// null for anything else or when there is no solid yet.
TopoDS_Shape solidOf(const host::SpecObjectPtr& object);

}  // namespace occt_host
