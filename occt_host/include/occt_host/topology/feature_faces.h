// Which faces of a body's solid each feature made, followed through every later feature
// from the kernel's own history (feature_history.h). Exporters use it to give faces the
// colour of the feature that made them; topology references use it to find a feature's
// faces on the solid their consumer starts from.
#pragma once

#include <TopTools_IndexedMapOfShape.hxx>

#include "occt_host/topology/feature_history.h"

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace occt_host {

class Body;
class SolidFeature;

// The faces of the solid after `through` that each feature made: the solid features of
// its body up to `through`, and those of the bodies that boolean features merged in.
// Computed once per result of `through`; brings `through` up to date first.
std::shared_ptr<const FacesByFeature> facesByFeature(SolidFeature& through);

// The faces `feature` made, as they stand on the solid after `through` (empty when none
// is left or `feature` does not contribute to that solid).
TopTools_IndexedMapOfShape facesOf(const SolidFeature& feature, SolidFeature& through);

// The same on the current solid of `feature`'s body, or of the body a boolean merged that
// body into.
TopTools_IndexedMapOfShape facesOnBody(SolidFeature& feature);

// Each solid feature of `body` (and of the bodies merged into it) with the faces it made
// on the body's current solid, in body order; features with no face left are omitted.
std::vector<std::pair<std::shared_ptr<SolidFeature>, TopTools_IndexedMapOfShape>>
featureFacesOfBody(Body& body);

// The last solid feature of the body whose solid holds `feature`'s faces: its own body's,
// or that of the body a boolean merged its body into (itself when it has no body).
std::shared_ptr<SolidFeature> bodyTip(SolidFeature& feature);

}  // namespace occt_host
