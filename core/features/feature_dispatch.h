// The handler of each feature type.
#pragma once

#include <string>

#include <rapidjson/document.h>

#include "host/spec_object.h"

namespace kestrun {

class FeatureWriter;

// Builds the item's feature into the writer (setSpecObj, status, warning).
using FeatureHandler = void (*)(FeatureWriter& writer, const rapidjson::Value& item,
                                const host::SpecObjectPtr& previous,
                                const host::SpecObjectPtr& body);

// Null for a type that is not a feature type.
FeatureHandler handlerFor(const std::string& type);

}  // namespace kestrun
