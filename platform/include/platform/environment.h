// The process environment: reading, setting and removing variables.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The process environment. A variable that is set to an empty text is still reported as set;
// callers that treat empty as unset say so themselves.
std::optional<std::string> GetEnv(const std::string& name);
bool SetEnv(const std::string& name, const std::string& value);
bool UnsetEnv(const std::string& name);

}  // namespace platform
