// The bodies of a Part as named shapes of an XDE document: the body's colour on the whole
// shape, each coloured feature's colour on the faces that feature made. The STEP and glTF
// writers both start from here, so a colour shows the same in every format.
#pragma once

#include <TDF_Label.hxx>
#include <TDocStd_Document.hxx>

#include "occt_host/model/body.h"

namespace occt_host {

Handle(TDocStd_Document) newXdeDocument();

// What the document is for: the STEP writer takes each solid with its faces in the order
// it writes fastest (exchange/step_write_order.h); storage keeps them as they are.
enum class XdeUse { Storage, StepWriter };

// Adds `body`'s solid as one named, coloured shape; false when the body has no solid.
bool addBodyToXde(const Handle(TDocStd_Document) & xde, Body& body, XdeUse use = XdeUse::Storage);

// The same for the mesh writers: the body's faces as one named shape made of one group of
// faces per feature colour. OCCT's glTF writer drops the colour of a face that carries a
// placement of its own (the far end of a pad); the faces inside a coloured group keep it.
// Returns the shape's label, null when the body has no solid.
TDF_Label addBodyFacesToXde(const Handle(TDocStd_Document) & xde, Body& body);

}  // namespace occt_host
