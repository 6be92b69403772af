#include "platform/windows_path.h"

namespace platform::winpath {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

std::string ToBackslashes(std::string_view path) {
  std::string out(path);
  for (char& c : out) {
    if (c == '/') c = '\\';
  }
  return out;
}

std::string ToLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ToLowerAscii(a) == ToLowerAscii(b);
}

static bool IsDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool HasDriveRoot(std::string_view path) {
  return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':' &&
         (path.size() == 2 || IsSeparator(path[2]));
}

bool IsDriveRoot(std::string_view path) {
  return path.size() == 3 && HasDriveRoot(path);
}

std::string StripTrailingSeparators(std::string_view path, size_t keepLength) {
  std::string out(path);
  while (out.size() > keepLength && IsSeparator(out.back())) out.pop_back();
  return out;
}

std::string ParentFolder(std::string_view path) {
  std::string trimmed = StripTrailingSeparators(path);
  if (IsDriveRoot(trimmed)) return "";
  size_t last = trimmed.find_last_of("\\/");
  if (last == std::string::npos) return "";
  if (last == 2 && HasDriveRoot(trimmed)) return trimmed.substr(0, 3);
  return StripTrailingSeparators(trimmed.substr(0, last));
}

std::string Join(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (!out.empty() && !IsSeparator(out.back())) out.push_back('\\');
  size_t skip = 0;
  while (skip < name.size() && IsSeparator(name[skip])) ++skip;
  out.append(name.substr(skip));
  return out;
}

bool IsInsideFolder(std::string_view path, std::string_view folder) {
  std::string p = ToLowerAscii(ToBackslashes(StripTrailingSeparators(path)));
  std::string f = ToLowerAscii(ToBackslashes(StripTrailingSeparators(folder)));
  if (p.empty() || f.empty() || p.compare(0, f.size(), f) != 0) return false;
  return p.size() == f.size() || f.back() == '\\' || p[f.size()] == '\\';
}

std::vector<std::string> DirectoryPrefixes(std::string_view path) {
  std::vector<std::string> prefixes;
  if (path.empty()) return prefixes;
  std::string text = ToBackslashes(path);
  for (size_t i = 3; i < text.size(); ++i) {
    if (text[i] == '\\') prefixes.push_back(text.substr(0, i));
  }
  prefixes.push_back(text);
  return prefixes;
}

}  // namespace platform::winpath
