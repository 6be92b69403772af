// Reading the members of part JSON, one way for every writer: a member of the wrong kind
// counts as absent, and so does any member of a value that is not an object.
#pragma once

#include <string_view>

#include <rapidjson/document.h>

namespace kestrun {

// A member of an object, or null.
const rapidjson::Value* member(const rapidjson::Value& object, const char* key);
// String member `key` of an object, or null when absent or not a string.
const rapidjson::Value* stringMember(const rapidjson::Value& object, const char* key);
std::string_view stringView(const rapidjson::Value& value);
// A finite number member of an object; false when absent, of another kind, or not an object.
bool numberMember(const rapidjson::Value& object, const char* key, double& out);
bool boolMember(const rapidjson::Value& object, const char* key, bool& out);

}  // namespace kestrun
