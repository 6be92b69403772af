// The system services through the Win32 API.
#include <gtest/gtest.h>
#include <oaidl.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <thread>
#include <vector>

#include "platform/automation.h"
#include "platform/clock.h"
#include "platform/directories.h"
#include "platform/dynamic_library.h"
#include "platform/environment.h"
#include "platform/lock.h"
#include "platform/module_path.h"
#include "platform/process.h"
#include "platform/temp_files.h"
#include "platform/text_encoding.h"
#include "platform/windows_path.h"
#include "win32_test_support.h"

// windows.h renames CreateDirectory; the platform's own function is meant here.
#undef CreateDirectory

namespace {

using win32_test::Wide;

bool EndsWithIgnoringCase(const std::string& text, const std::string& end) {
  return text.size() >= end.size() &&
         platform::winpath::EqualsIgnoreCase(text.substr(text.size() - end.size()), end);
}

TEST(Win32Environment, SetGetUnsetAndWideValues) {
  EXPECT_TRUE(platform::SetEnv("TOLVANE_WIN32_TEST_VAR", "v1"));
  EXPECT_EQ(platform::GetEnv("TOLVANE_WIN32_TEST_VAR"), "v1");
  // Set to the empty text is still set.
  EXPECT_TRUE(platform::SetEnv("TOLVANE_WIN32_TEST_VAR", ""));
  EXPECT_EQ(platform::GetEnv("TOLVANE_WIN32_TEST_VAR"), "");
  EXPECT_TRUE(platform::UnsetEnv("TOLVANE_WIN32_TEST_VAR"));
  EXPECT_FALSE(platform::GetEnv("TOLVANE_WIN32_TEST_VAR").has_value());
  // U+00E9 and U+4E2D travel as UTF-8 here and as UTF-16 through the system.
  EXPECT_TRUE(platform::SetEnv("TOLVANE_WIN32_TEST_VAR", "caf\xC3\xA9 \xE4\xB8\xAD"));
  wchar_t wide[16] = {};
  EXPECT_EQ(::GetEnvironmentVariableW(L"TOLVANE_WIN32_TEST_VAR", wide, 16), 6u);
  EXPECT_EQ(std::wstring(wide), L"caf\u00e9 \u4e2d");
  // A value longer than the first buffer is read in full.
  const std::string longValue(3000, 'x');
  EXPECT_TRUE(platform::SetEnv("TOLVANE_WIN32_TEST_VAR", longValue));
  EXPECT_EQ(platform::GetEnv("TOLVANE_WIN32_TEST_VAR"), longValue);
  EXPECT_TRUE(platform::UnsetEnv("TOLVANE_WIN32_TEST_VAR"));
  EXPECT_TRUE(platform::UnsetEnv("TOLVANE_WIN32_TEST_VAR"));  // unsetting twice is no failure
}

TEST(Win32Files, TempPathEndsWithABackslashAndIsADirectory) {
  std::optional<std::string> temp = platform::TempPath();
  ASSERT_TRUE(temp.has_value());
  EXPECT_EQ(temp->back(), '\\');
  EXPECT_TRUE(platform::IsDirectory(*temp));
  EXPECT_EQ(platform::kPathSeparator, '\\');
}

TEST(Win32Files, NewFileIsExclusiveTemporaryAndUnshared) {
  platform::NewFile file;
  ASSERT_TRUE(file.CreateUnique(*platform::TempPath(), "aps", ".step"));
  const std::wstring path = Wide(file.Path());
  EXPECT_EQ(file.Path().substr(file.Path().size() - 5), ".step");
  // (The temporary-file attribute is asked for at creation; Wine does not keep it, so it is
  // not checked here.)
  // No sharing while it is being written: a reader is refused.
  HANDLE reader = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  ASSERT_TRUE(file.Write("ABCDEF", 6));
  ASSERT_TRUE(file.Close());
  reader = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  char bytes[16] = {};
  DWORD read = 0;
  EXPECT_TRUE(::ReadFile(reader, bytes, sizeof bytes, &read, nullptr));
  ::CloseHandle(reader);
  EXPECT_EQ(std::string(bytes, read), "ABCDEF");
  EXPECT_TRUE(platform::RemoveFile(file.Path()));
  EXPECT_FALSE(platform::FileExists(file.Path()));
  EXPECT_FALSE(platform::RemoveFile(file.Path()));
}

TEST(Win32Files, UniqueNamesDirectoriesAndTrees) {
  const std::string temp = *platform::TempPath();
  std::optional<std::string> a = platform::CreateUniqueTempFile(temp, "tolvane-", ".txt");
  std::optional<std::string> b = platform::CreateUniqueTempFile(temp, "tolvane-", ".txt");
  ASSERT_TRUE(a && b);
  EXPECT_NE(*a, *b);
  EXPECT_FALSE(platform::CreateUniqueTempFile(temp, "a\\b", ""));
  std::optional<std::string> dir = platform::CreateUniqueTempDirectory(temp, "tolvane-dir-");
  ASSERT_TRUE(dir);
  EXPECT_TRUE(platform::IsDirectory(*dir));
  // Forward slashes count as separators too; every missing level is made.
  const std::string deep = *dir + "\\x/y\\z";
  EXPECT_TRUE(platform::CreateDirectoryTree(deep));
  EXPECT_TRUE(platform::IsDirectory(*dir + "\\x\\y"));
  EXPECT_FALSE(platform::CreateDirectory(deep));  // it exists: this call made nothing
  EXPECT_FALSE(platform::CreateDirectoryTree(*a + "\\under-a-file"));
  EXPECT_TRUE(platform::RemoveFile(*a));
  EXPECT_TRUE(platform::RemoveFile(*b));
  for (const char* level : {"\\x\\y\\z", "\\x\\y", "\\x", ""})
    EXPECT_TRUE(::RemoveDirectoryW(Wide(*dir + level).c_str())) << level;
}

TEST(Win32DynamicLibrary, LoadsBindsAndReportsTheLoadersError) {
  platform::DynamicLibrary kernel;
  ASSERT_TRUE(kernel.Open("kernel32.dll"));
  EXPECT_EQ(kernel.Symbol("GetTickCount"),
            reinterpret_cast<void*>(
                ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTickCount")));
  EXPECT_EQ(kernel.Symbol("NoSuchExportAnywhere"), nullptr);
  EXPECT_FALSE(kernel.LastError().empty());
  platform::DynamicLibrary missing;
  errno = 0;
  EXPECT_FALSE(missing.Open("C:\\no\\such\\folder\\Kestrun.dll"));
  // The loader's own number: a missing file or path, or a module that was not found.
  EXPECT_TRUE(errno == ERROR_MOD_NOT_FOUND || errno == ERROR_PATH_NOT_FOUND ||
              errno == ERROR_FILE_NOT_FOUND)
      << errno;
  EXPECT_FALSE(missing.LastError().empty());
}

TEST(Win32ModulePath, NamesTheFileHoldingAnAddress) {
  std::optional<std::string> self =
      platform::ModulePathOf(reinterpret_cast<const void*>(&platform::TickCount));
  ASSERT_TRUE(self.has_value());
  EXPECT_TRUE(EndsWithIgnoringCase(*self, "\\bin\\platform_win32_tests.exe")) << *self;
  EXPECT_TRUE(platform::winpath::HasDriveRoot(*self)) << *self;
  EXPECT_TRUE(platform::FileExists(*self));
  std::optional<std::string> kernel =
      platform::ModulePathOf(reinterpret_cast<const void*>(&::GetTickCount));
  ASSERT_TRUE(kernel.has_value());
  EXPECT_TRUE(EndsWithIgnoringCase(*kernel, "\\kernel32.dll")) << *kernel;
  EXPECT_FALSE(platform::ModulePathOf(nullptr).has_value());
}

TEST(Win32ClockAndIds, MatchTheSystem) {
  SYSTEMTIME before{};
  ::GetLocalTime(&before);
  const platform::LocalTime now = platform::NowLocal();
  EXPECT_EQ(now.year, before.wYear);
  EXPECT_GE(now.month, 1u);
  EXPECT_LE(now.month, 12u);
  EXPECT_LE(now.millisecond, 999u);
  const uint32_t ticks = platform::TickCount();
  EXPECT_LE(static_cast<uint32_t>(::GetTickCount() - ticks), 1000u);
  EXPECT_EQ(platform::ProcessId(), ::GetCurrentProcessId());
  EXPECT_EQ(platform::ThreadId(), ::GetCurrentThreadId());
  uint32_t other = 0;
  std::thread([&] { other = platform::ThreadId(); }).join();
  EXPECT_NE(other, platform::ThreadId());
}

TEST(Win32Lock, ACriticalSectionGuardsACounterAcrossThreads) {
  platform::Lock lock;
  long counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        platform::LockGuard guard(lock);
        counter = counter + 1;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(counter, 80000);
}

TEST(Win32TextEncoding, AnsiTextIsReadInTheActiveCodePage) {
  EXPECT_EQ(platform::AnsiToUtf8("plain"), "plain");
  EXPECT_EQ(platform::AnsiToUtf8(""), "");
  // 0xE9 is U+00E9 and 0x80 the euro sign in Windows-1252, the code page of western systems.
  if (::GetACP() == 1252) {
    EXPECT_EQ(platform::AnsiToUtf8("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
  }
  wchar_t wide[4] = {};
  ASSERT_EQ(::MultiByteToWideChar(CP_ACP, 0, "\xE9", 1, wide, 4), 1);
  std::string expected;
  platform::AppendUtf8(wide[0], expected);
  EXPECT_EQ(platform::AnsiToUtf8("\xE9"), expected);
}

TEST(Win32AutomationRecords, HaveTheSystemsLayout) {
  namespace automation = platform::automation;
  EXPECT_EQ(sizeof(automation::Variant), sizeof(VARIANT));
  EXPECT_EQ(offsetof(automation::Variant, lVal), offsetof(VARIANT, lVal));
  EXPECT_EQ(sizeof(automation::DispParams), sizeof(DISPPARAMS));
  EXPECT_EQ(offsetof(automation::DispParams, argCount), offsetof(DISPPARAMS, cArgs));
  EXPECT_EQ(sizeof(automation::ExcepInfo), sizeof(EXCEPINFO));
  EXPECT_EQ(offsetof(automation::ExcepInfo, scode), offsetof(EXCEPINFO, scode));
  EXPECT_EQ(sizeof(automation::Guid), sizeof(GUID));
}

}  // namespace
