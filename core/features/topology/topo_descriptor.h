// Reading topology descriptors: the JSON objects that describe a face or an edge of an
// earlier item's solid by its kind, a few points, a normal or axis and radii.
#pragma once

#include <initializer_list>
#include <string>

#include <rapidjson/document.h>

#include "host/values.h"

namespace kestrun {

// "featureId", else "parent"; empty when neither is a string.
std::string descriptorFeatureId(const rapidjson::Value& descriptor);
// The string member `key`; empty when missing or not a string.
std::string stringOf(const rapidjson::Value& object, const char* key);

// A point: an array of two or three numbers (z 0 when absent) or an object with the
// numbers "x", "y" and optionally "z". Anything else (strings, other lengths) is refused.
bool readPoint(const rapidjson::Value& value, host::Point3& out);
// A point under the first of `keys` that is present.
bool pointAt(const rapidjson::Value& object, std::initializer_list<const char*> keys,
             host::Point3& out);
// A vector as a point, which must have a non-zero length.
bool vectorAt(const rapidjson::Value& object, std::initializer_list<const char*> keys,
              host::Vec3& out);
// The number under the first of `keys` that is present.
bool numberAt(const rapidjson::Value& object, std::initializer_list<const char*> keys, double& out);

// Geometry kinds: edges ("line", "circle", "arc", "ellipse", "ellipseArc", "bspline",
// "bSplineCurve") and the face kind "plane".
bool isEdgeKind(const std::string& type);
bool isFaceKind(const std::string& type);

}  // namespace kestrun
