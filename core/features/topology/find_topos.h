// Resolving topology descriptors to host references: the faces and edges of earlier
// items' solids that dress-up features and holes act on.
#pragma once

#include <rapidjson/document.h>

#include "host/spec_object.h"

namespace kestrun {

class FeatureWriter;

struct FindToposOptions {
  // Refuse faces and edges by their cached boxes before the exact tests.
  bool useBoxes = true;
};

// The references matched by `descriptors` (an array of descriptor objects) on the
// boundaries of the features they name, in match order. Strict point tests that leave a
// feature short of its expected count are retried once without them.
host::SpecObjectList findTopos(const FeatureWriter& writer, const rapidjson::Value& descriptors,
                               bool isStrictPoint, const FindToposOptions& options = {});

// One reference per descriptor that any feature yields, in descriptor order: the
// descriptor's own feature first, then every other feature item in id order.
host::SpecObjectList findToposWithFeatureFallback(const FeatureWriter& writer,
                                                  const rapidjson::Value& descriptors);

}  // namespace kestrun
