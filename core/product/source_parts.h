// The source parts of a product JSON: the `partList` entries that carry a part definition of
// their own, numbered from 0 in list order, and what is derived from each.
#pragma once

#include <cstddef>
#include <string>

#include <rapidjson/document.h>

namespace kestrun {

// Part numbers are cut to this many bytes, prefix included.
constexpr std::size_t kMaxPartNumberBytes = 120;

// Each source part becomes a saved Part document and each numbering re-reads the whole
// product, so the work grows with the square of their number; past this many a product is
// refused rather than keep the host busy for hours.
constexpr std::size_t kMaxSourceParts = 10000;

// An object with a string `id`, no non-empty string `refId`, and an array `flatNode` or
// `sequences`.
bool isSourcePart(const rapidjson::Value& entry);

// The root's `partList` array, or null when the root is not an object or has none.
const rapidjson::Value* partListOf(const rapidjson::Value& root);

// The source part with that index, or null.
const rapidjson::Value* findSourcePart(const rapidjson::Value& root, long long index);

// "MardelPart_<index>_" followed by the id (else the name, else "Part"), every byte outside
// [A-Za-z0-9._-] replaced by '_', the whole cut to 120 bytes.
std::string sourcePartNumber(const rapidjson::Value& entry, long long index);

// The stand-alone part JSON of a source part, written compactly: `sequences` (from
// `flatNode` when there is one), then `bodyColors` when it is an array. False when the
// writer refuses the content.
bool stageSourcePart(const rapidjson::Value& entry, std::string& out);

}  // namespace kestrun
