// Kernel-side access to what the host built, for exporters and tests.
#pragma once

#include <TopoDS_Shape.hxx>

#include <memory>

#include "host/document.h"
#include "host/spec_object.h"

namespace occt_host {

// The solid of a body, of a Part (its main body), or of the body after a solid feature;
// null for anything else or when there is no solid yet.
TopoDS_Shape solidOf(const host::SpecObjectPtr& object);

// The volume of a Part document's main body, in mm^3; 0 when it has no solid.
double partVolume(const std::shared_ptr<host::Document>& document);

}  // namespace occt_host
