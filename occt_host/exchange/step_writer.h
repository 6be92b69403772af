#pragma once

#include <STEPCAFControl_Writer.hxx>

namespace occt_host {

// A STEP writer for our documents, which carry names and colours and nothing else the
// format's extended writer knows (layers, validation properties, SHUOs, tolerances,
// materials): each of those passes walks the whole translated model even when it finds
// nothing, which cost a 400-hole plate's export 40% of its translation.
inline void writeNamesAndColoursOnly(STEPCAFControl_Writer& writer) {
  writer.SetNameMode(true);
  writer.SetColorMode(true);
  writer.SetLayerMode(false);
  writer.SetPropsMode(false);
  writer.SetSHUOMode(false);
  writer.SetDimTolMode(false);
  writer.SetMaterialMode(false);
}

}  // namespace occt_host
