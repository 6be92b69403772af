// Helpers for tests that run on Windows (under Wine in CI): importing registry files with the
// system's regedit, and running a program to its end.
#pragma once

#include <windows.h>

#include <string>

#include "platform/temp_files.h"

namespace win32_test {

inline std::wstring Wide(const std::string& utf8) {
  std::wstring out(utf8.size(), L'\0');
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                      out.data(), static_cast<int>(out.size()));
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

// Runs a command line and waits for it; its exit code, or -1 when it could not start.
inline long Run(const std::wstring& commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring line = commandLine;
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process)) {
    return -1;
  }
  ::WaitForSingleObject(process.hProcess, 120000);
  DWORD code = 0;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return static_cast<long>(code);
}

// Writes `text` (the lines after the header) as a registry file in the export format, UTF-16LE
// with its byte-order mark as regedit writes it, and imports it silently with regedit.
inline bool ImportRegistryText(const std::string& text) {
  const std::wstring body = L"Windows Registry Editor Version 5.00\r\n\r\n" + Wide(text) + L"\r\n";
  std::string bytes = "\xFF\xFE";
  bytes.append(reinterpret_cast<const char*>(body.data()), body.size() * sizeof(wchar_t));
  std::optional<std::string> folder = platform::TempPath();
  platform::NewFile file;
  if (!folder || !file.CreateUnique(*folder, "tolvane-test-", ".reg")) return false;
  const bool written = file.Write(bytes.data(), bytes.size()) && file.Close();
  const std::string path = file.Path();
  const long code = written ? Run(L"regedit.exe /S \"" + Wide(path) + L"\"") : -1;
  ::DeleteFileW(Wide(path).c_str());
  return code == 0;
}

// A registry path text with each backslash doubled, as string data in a registry file.
inline std::string RegString(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

}  // namespace win32_test
