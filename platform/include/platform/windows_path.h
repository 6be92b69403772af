// Windows path rules as pure functions, so that every build can check them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Path rules of the original host platform, kept as pure functions so that they hold on every
// build: backslash separators, drive roots ("C:\"), case-insensitive comparison.
namespace platform::winpath {

bool IsSeparator(char c);
std::string ToBackslashes(std::string_view path);
// ASCII lower-casing, as the host compares paths.
std::string ToLowerAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// "C:" followed by a separator or the end.
bool HasDriveRoot(std::string_view path);
// Exactly "C:\" or "C:/".
bool IsDriveRoot(std::string_view path);
// Removes trailing separators one at a time while the text is longer than `keepLength`
// (3 keeps the separator of a drive root).
std::string StripTrailingSeparators(std::string_view path, size_t keepLength = 3);
// The folder that holds `path` (without trailing separator; a drive root keeps its separator);
// empty when there is none.
std::string ParentFolder(std::string_view path);
// `folder` + one backslash + `name`, without doubling an existing trailing separator.
std::string Join(std::string_view folder, std::string_view name);
// True when `path` is `folder` or lies inside it (next character a separator), ignoring case.
bool IsInsideFolder(std::string_view path, std::string_view folder);
// The prefixes to create, shallowest first, to make the tree of `path` exist: one per backslash
// at position 3 or later, then the whole path. Slashes count as backslashes.
std::vector<std::string> DirectoryPrefixes(std::string_view path);

}  // namespace platform::winpath
