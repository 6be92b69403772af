// The path of the executable or shared library that holds an address.
#pragma once

#include <optional>
#include <string>

namespace platform {

// Full path of the loaded file (executable or shared library) that contains `address`;
// nothing when the address belongs to no mapped file.
std::optional<std::string> ModulePathOf(const void* address);

}  // namespace platform
