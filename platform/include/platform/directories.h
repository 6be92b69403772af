// Folders and files: native separators and roots, creating folders, existence, removal.
#pragma once

#include <string>

#if defined(_WIN32) && defined(CreateDirectory)
// windows.h, when it came first, renames CreateDirectory; these are the platform's own names.
#undef CreateDirectory
#endif

namespace platform {

// Native path conventions: the separator, and how long a root is (a root keeps its separator).
#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
inline constexpr size_t kPathRootLength = 3;  // "C:\"
#else
inline constexpr char kPathSeparator = '/';
inline constexpr size_t kPathRootLength = 1;
#endif

// Creates one directory; the result only says whether this call created it.
bool CreateDirectory(const std::string& path);
bool IsDirectory(const std::string& path);
bool FileExists(const std::string& path);
// Creates every missing level of `path`; true when the directory exists afterwards.
bool CreateDirectoryTree(const std::string& path);
bool RemoveFile(const std::string& path);

}  // namespace platform
