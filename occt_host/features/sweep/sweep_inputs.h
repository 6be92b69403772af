// What shafts, lofts and ribs read from their sketches: the profile faces of closed
// contours and the wire of an open path. Each throws with a text naming its owner.
#pragma once

#include <TopoDS_Compound.hxx>
#include <TopoDS_Wire.hxx>

#include <cstdint>
#include <memory>
#include <string>

namespace occt_host {

class Sketch;

// The sketch, while it is still in the Part.
std::shared_ptr<Sketch> liveSketch(const std::weak_ptr<Sketch>& sketch, const std::string& owner,
                                   const std::string& role);
// The faces of the sketch's closed contours.
TopoDS_Compound profileFaces(const Sketch& sketch, const std::string& owner);
// Every curve of the sketch joined end to end into one wire, open or closed.
TopoDS_Wire pathWire(const Sketch& sketch, const std::string& owner);
// The sketch's revision, or 0 once it is gone.
std::uint64_t revisionOf(const std::weak_ptr<Sketch>& sketch);

}  // namespace occt_host
