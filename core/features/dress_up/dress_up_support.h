// What the dress-up handlers (fillet, chamfer, shell, draft) share: the factory, the
// numbers they read, and the update that makes their feature current.
#pragma once

#include <memory>
#include <string>

#include <rapidjson/document.h>

#include "features/writer/feature_dispatch.h"
#include "host/dress_up.h"
#include "text/number_text.h"

namespace kestrun {

class FeatureWriter;

// The Part's dress-up factory; null (logged) when the Part has none.
std::shared_ptr<host::DressUpFactory> dressUpFactory(const FeatureWriter& writer);
// The number under `key`, or `fallback` when it is missing or not a number.
double numberOr(const rapidjson::Value& item, const char* key, double fallback);
// The value under `key`, or a null value.
const rapidjson::Value& memberOrNull(const rapidjson::Value& item, const char* key);
// Length of `value` when it is an array, else 0.
std::size_t arrayLength(const rapidjson::Value& value);
// Updates the feature and makes it the Part's current feature: built, with the update's
// status.
FeatureOutcome updateAndMakeCurrent(const FeatureWriter& writer,
                                    const host::SpecObjectPtr& feature);

}  // namespace kestrun
