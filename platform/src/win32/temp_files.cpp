#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>

#include "platform/temp_files.h"
#include "wide_text.h"

namespace platform {
namespace {

constexpr int kAttempts = 100;

bool HasSeparator(const std::string& text) {
  return text.find_first_of("\\/") != std::string::npos;
}

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder.push_back('\\');
  return folder;
}

// Six characters that differ from call to call and from process to process.
std::string UniquePart() {
  static std::atomic<uint32_t> counter{0};
  static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  uint64_t mix = (uint64_t{::GetCurrentProcessId()} << 32) ^ ::GetTickCount() ^
                 (uint64_t{counter.fetch_add(1)} * 0x9E3779B97F4A7C15ull);
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  mix ^= static_cast<uint64_t>(now.QuadPart) * 0xBF58476D1CE4E5B9ull;
  std::string part;
  for (int i = 0; i < 6; ++i) {
    part.push_back(kAlphabet[mix % 36]);
    mix = mix / 36 ^ (mix << 29);
  }
  return part;
}

// A new file, created exclusively, for writing only by this handle, marked temporary.
HANDLE CreateNew(const std::string& path) {
  return ::CreateFileW(win32::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_TEMPORARY, nullptr);
}

}  // namespace

std::optional<std::string> TempPath() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return std::nullopt;
  return WithSeparator(win32::Narrow(std::wstring_view(buffer, length)));
}

std::optional<std::string> CreateUniqueTempFile(const std::string& folder,
                                                const std::string& prefix,
                                                const std::string& suffix) {
  if (folder.empty() || HasSeparator(prefix) || HasSeparator(suffix)) return std::nullopt;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::string path = WithSeparator(folder) + prefix + UniquePart() + suffix;
    HANDLE file = CreateNew(path);
    if (file != INVALID_HANDLE_VALUE) {
      ::CloseHandle(file);
      return path;
    }
    if (::GetLastError() != ERROR_FILE_EXISTS) return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::string> CreateUniqueTempDirectory(const std::string& folder,
                                                     const std::string& prefix) {
  if (folder.empty() || HasSeparator(prefix)) return std::nullopt;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::string path = WithSeparator(folder) + prefix + UniquePart();
    if (::CreateDirectoryW(win32::Widen(path).c_str(), nullptr)) return path;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return std::nullopt;
  }
  return std::nullopt;
}

bool NewFile::CreateUnique(const std::string& folder, const std::string& prefix,
                           const std::string& suffix) {
  Close();
  path_.clear();
  if (folder.empty() || HasSeparator(prefix) || HasSeparator(suffix)) return false;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::string path = WithSeparator(folder) + prefix + UniquePart() + suffix;
    HANDLE file = CreateNew(path);
    if (file == INVALID_HANDLE_VALUE) {
      if (::GetLastError() != ERROR_FILE_EXISTS) return false;
      continue;
    }
    // The descriptor owns the handle from here on; closing it closes the file.
    fd_ = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
    if (fd_ < 0) {
      ::CloseHandle(file);
      ::DeleteFileW(win32::Widen(path).c_str());
      return false;
    }
    path_ = path;
    return true;
  }
  return false;
}

bool NewFile::Write(const void* data, size_t size) {
  if (fd_ < 0) return false;
  HANDLE file = reinterpret_cast<HANDLE>(::_get_osfhandle(fd_));
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD part = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!::WriteFile(file, at, part, &written, nullptr) || written == 0) return false;
    at += written;
    size -= written;
  }
  return true;
}

bool NewFile::Close() {
  if (fd_ < 0) return true;
  HANDLE file = reinterpret_cast<HANDLE>(::_get_osfhandle(fd_));
  const bool flushed = ::FlushFileBuffers(file) != 0;
  const int result = ::_close(fd_);
  fd_ = -1;
  return flushed && result == 0;
}

}  // namespace platform
