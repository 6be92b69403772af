// Vantrel.dll as the host loads it: by path, its two creation functions bound by name, and
// nothing else to be found. The add-in it creates writes its daily log where Windows keeps it.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

// The desktop's interfaces, then the system's.
#include "host/desktop.h"

#include <windows.h>

namespace {

std::wstring ThisFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text(path, length);
  return text.substr(0, text.find_last_of(L'\\'));
}

std::string Narrow(const std::wstring& wide) {
  std::string out(wide.size() * 3, '\0');
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      out.data(), static_cast<int>(out.size()), nullptr, nullptr);
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

std::string TodaysLog() {
  wchar_t programData[MAX_PATH] = {};
  ::GetEnvironmentVariableW(L"ProgramData", programData, MAX_PATH);
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  char name[32];
  std::snprintf(name, sizeof name, "%04u-%02u-%02u.log", now.wYear, now.wMonth, now.wDay);
  return Narrow(programData) + "\\Vexmoor\\Tolvane\\debug\\" + name;
}

using CreateAddinFn = host::GeneralWorkbenchAddin* (*)();

TEST(VantrelModule, LoadsByPathAndOffersOnlyItsCreationFunctions) {
  HMODULE module = ::LoadLibraryW((ThisFolder() + L"\\Vantrel.dll").c_str());
  ASSERT_NE(module, nullptr) << ::GetLastError();
  EXPECT_NE(::GetProcAddress(module, "CreateTIECATIAfrGeneralWksAddinVantrelAddin"), nullptr);
  EXPECT_NE(::GetProcAddress(module, "fctCreateVantrelCmd"), nullptr);
  EXPECT_EQ(::GetProcAddress(module, "Vantrel_OpenChannel"), nullptr);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_TRUE(::FreeLibrary(module));
}

TEST(VantrelModule, TheAddinItCreatesLogsToTheProgramDataFolder) {
  ::DeleteFileA(TodaysLog().c_str());
  HMODULE module = ::LoadLibraryW((ThisFolder() + L"\\Vantrel.dll").c_str());
  ASSERT_NE(module, nullptr);
  auto create = reinterpret_cast<CreateAddinFn>(reinterpret_cast<void*>(
      ::GetProcAddress(module, "CreateTIECATIAfrGeneralWksAddinVantrelAddin")));
  ASSERT_NE(create, nullptr);
  host::GeneralWorkbenchAddin* addin = create();
  ASSERT_NE(addin, nullptr);
  delete addin;
  EXPECT_TRUE(::FreeLibrary(module));
  std::ifstream in(TodaysLog(), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("component=plugin.addin"), std::string::npos) << TodaysLog();
  EXPECT_NE(text.find("message=plugin_open addin_loaded\r\n"), std::string::npos);
  EXPECT_NE(text.find("message=plugin_close addin_unloaded\r\n"), std::string::npos);
}

}  // namespace
