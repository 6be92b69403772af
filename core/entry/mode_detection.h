// Decides whether a JSON text describes a part or a product.
#pragma once

#include <rapidjson/document.h>

namespace kestrun {

enum class ImportMode { None = 0, Part = 1, Product = 2 };

// `requested` is the effective option (0, 1 or 2); an explicit choice wins.
ImportMode detectMode(const rapidjson::Value& root, int requested);

}  // namespace kestrun
