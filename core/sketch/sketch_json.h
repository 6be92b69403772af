// Reading the members of sketch geometry JSON: finite numbers, 2D points, flags.
#pragma once

#include <rapidjson/document.h>

#include "host/values.h"

namespace kestrun {

// A finite number member of an object; false when absent, of another kind, or not an object.
bool numberMember(const rapidjson::Value& object, const char* key, double& out);
bool boolMember(const rapidjson::Value& object, const char* key, bool& out);
// An object with number members "x" and "y".
bool pointValue(const rapidjson::Value& value, host::Point2& out);
bool pointMember(const rapidjson::Value& object, const char* key, host::Point2& out);
// A member of an object, or null.
const rapidjson::Value* member(const rapidjson::Value& object, const char* key);
// "x" and "y" within 1e-6, and "z" too when both have a number "z".
bool samePoint(const rapidjson::Value& a, const rapidjson::Value& b);

}  // namespace kestrun
