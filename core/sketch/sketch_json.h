// Reading sketch geometry JSON: 2D points, on top of the common member readers.
#pragma once

#include <rapidjson/document.h>

#include "host/values.h"
#include "partjson/json_members.h"

namespace kestrun {

// An object with number members "x" and "y".
bool pointValue(const rapidjson::Value& value, host::Point2& out);
bool pointMember(const rapidjson::Value& object, const char* key, host::Point2& out);
// "x" and "y" within 1e-6, and "z" too when both have a number "z".
bool samePoint(const rapidjson::Value& a, const rapidjson::Value& b);

}  // namespace kestrun
