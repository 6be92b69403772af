#include "occt_host/topology/face_colours.h"

#include <TopExp_Explorer.hxx>

#include <algorithm>
#include <memory>

#include "model/stored_solid.h"
#include "occt_host/model/body.h"
#include "occt_host/model/solid_feature.h"
#include "occt_host/topology/feature_faces.h"

namespace occt_host {

std::vector<std::pair<host::Color, TopTools_IndexedMapOfShape>> colouredFaces(Body& body) {
  std::vector<std::pair<host::Color, TopTools_IndexedMapOfShape>> out;
  for (const auto& [feature, faces] : featureFacesOfBody(body)) {
    host::Color color;
    if (feature->color(color)) out.emplace_back(color, faces);
    auto stored = std::dynamic_pointer_cast<StoredSolid>(feature);
    if (!stored) continue;
    for (const auto& [face, colour] : stored->faceColours()) {
      if (!faces.Contains(face)) continue;
      out.emplace_back(colour, TopTools_IndexedMapOfShape());
      out.back().second.Add(face);
    }
  }
  return out;
}

std::vector<std::pair<TopoDS_Shape, host::Color>> faceColours(Body& body) {
  std::vector<std::pair<TopoDS_Shape, host::Color>> out;
  const auto coloured = colouredFaces(body);
  if (coloured.empty()) return out;
  for (TopExp_Explorer e(body.solid(), TopAbs_FACE); e.More(); e.Next()) {
    auto owner = std::find_if(coloured.rbegin(), coloured.rend(), [&](const auto& entry) {
      return entry.second.Contains(e.Current());
    });
    if (owner != coloured.rend()) out.emplace_back(e.Current(), owner->first);
  }
  return out;
}

}  // namespace occt_host
