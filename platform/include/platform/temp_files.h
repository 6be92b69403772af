#pragma once

#include <optional>
#include <string>

namespace platform {

// The temporary folder, always ending with a separator ($TMPDIR, else /tmp/).
std::optional<std::string> TempPath();

// Creates a new empty file with a unique name in `folder` and returns its path.
std::optional<std::string> CreateUniqueTempFile(const std::string& folder,
                                                const std::string& prefix,
                                                const std::string& suffix);

// Creates a new empty directory with a unique name in `folder` and returns its path.
std::optional<std::string> CreateUniqueTempDirectory(const std::string& folder,
                                                     const std::string& prefix);

}  // namespace platform
