// Which faces of a body's solid show a colour other than the body's: the faces each
// coloured feature made, and those a stored solid brought back coloured. The STEP and mesh
// writers and the workstation's view all colour a body from here, so that a colour shows
// the same everywhere.
#pragma once

#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS_Shape.hxx>

#include <utility>
#include <vector>

#include "host/values.h"

namespace occt_host {

class Body;

// The coloured faces of the body's solid, in body order (a face two features share is in
// both entries).
std::vector<std::pair<host::Color, TopTools_IndexedMapOfShape>> colouredFaces(Body& body);

// Each face of the body's solid that shows a colour of its own, with that colour: a later
// feature's colour wins on the faces two features share. Faces in solid order.
std::vector<std::pair<TopoDS_Shape, host::Color>> faceColours(Body& body);

}  // namespace occt_host
