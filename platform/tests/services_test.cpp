#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <thread>

#include "platform/clock.h"
#include "platform/debug_output.h"
#include "platform/directories.h"
#include "platform/dynamic_library.h"
#include "platform/environment.h"
#include "platform/lock.h"
#include "platform/module_path.h"
#include "platform/process.h"
#include "platform/temp_files.h"

TEST(Environment, SetGetUnset) {
  EXPECT_TRUE(platform::SetEnv("TOLVANE_PLATFORM_TEST_VAR", "v1"));
  EXPECT_EQ(platform::GetEnv("TOLVANE_PLATFORM_TEST_VAR"), "v1");
  EXPECT_TRUE(platform::SetEnv("TOLVANE_PLATFORM_TEST_VAR", ""));
  EXPECT_EQ(platform::GetEnv("TOLVANE_PLATFORM_TEST_VAR"), "");
  EXPECT_TRUE(platform::UnsetEnv("TOLVANE_PLATFORM_TEST_VAR"));
  EXPECT_FALSE(platform::GetEnv("TOLVANE_PLATFORM_TEST_VAR").has_value());
  EXPECT_FALSE(platform::SetEnv("A=B", "x"));
  EXPECT_FALSE(platform::GetEnv("").has_value());
}

TEST(Files, TempFilesAndDirectoryTrees) {
  std::optional<std::string> temp = platform::TempPath();
  ASSERT_TRUE(temp.has_value());
  EXPECT_EQ(temp->back(), '/');
  std::optional<std::string> dir = platform::CreateUniqueTempDirectory(*temp, "tolvane-test-");
  ASSERT_TRUE(dir.has_value());
  EXPECT_TRUE(platform::IsDirectory(*dir));
  std::optional<std::string> a = platform::CreateUniqueTempFile(*dir, "chunk-", ".step");
  std::optional<std::string> b = platform::CreateUniqueTempFile(*dir, "chunk-", ".step");
  ASSERT_TRUE(a && b);
  EXPECT_NE(*a, *b);
  EXPECT_TRUE(platform::FileExists(*a));
  EXPECT_FALSE(platform::IsDirectory(*a));
  EXPECT_FALSE(platform::CreateUniqueTempFile(*dir, "a/b", "").has_value());
  std::string deep = *dir + "/x/y/z";
  EXPECT_TRUE(platform::CreateDirectoryTree(deep));
  EXPECT_TRUE(platform::IsDirectory(deep));
  EXPECT_FALSE(platform::CreateDirectoryTree(*a + "/under-a-file"));
  EXPECT_FALSE(platform::CreateDirectoryTree(""));
  EXPECT_TRUE(platform::RemoveFile(*a));
  EXPECT_FALSE(platform::FileExists(*a));
}

TEST(DynamicLibrary, LoadsResolvesAndReportsFailures) {
  platform::DynamicLibrary lib;
  EXPECT_FALSE(lib.Open("/nonexistent/libnothing.so"));
  EXPECT_FALSE(lib.LastError().empty());
  EXPECT_EQ(lib.Symbol("cos"), nullptr);
  ASSERT_TRUE(lib.Open("libm.so.6"));
  auto cosine = reinterpret_cast<double (*)(double)>(lib.Symbol("cos"));
  ASSERT_NE(cosine, nullptr);
  EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
  EXPECT_EQ(lib.Symbol("no_such_symbol_here"), nullptr);
  platform::DynamicLibrary moved = std::move(lib);
  EXPECT_TRUE(moved.IsOpen());
  EXPECT_FALSE(lib.IsOpen());
  moved.Close();
  EXPECT_FALSE(moved.IsOpen());
}

// Whether the loader still has the module mapped, without loading it.
bool StillMapped(const char* path) {
  void* handle = ::dlopen(path, RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) ::dlclose(handle);
  return handle != nullptr;
}

TEST(DynamicLibrary, AResidentLibraryStaysMappedAfterClose) {
  ASSERT_FALSE(StillMapped(RESIDENT_MODULE));
  {
    platform::DynamicLibrary lib;
    ASSERT_TRUE(lib.Open(RESIDENT_MODULE)) << lib.LastError();
    ASSERT_NE(lib.Symbol("TolvaneResidentModuleAnswer"), nullptr);
    lib.Close();
  }
  EXPECT_FALSE(StillMapped(RESIDENT_MODULE));
  {
    platform::DynamicLibrary lib;
    ASSERT_TRUE(lib.Open(RESIDENT_MODULE, platform::DynamicLibrary::Residency::UntilExit));
    auto answer = reinterpret_cast<int (*)()>(lib.Symbol("TolvaneResidentModuleAnswer"));
    ASSERT_NE(answer, nullptr);
    lib.Close();
    EXPECT_FALSE(lib.IsOpen());
    // The code is still there: what it registered at exit can still run.
    ASSERT_TRUE(StillMapped(RESIDENT_MODULE));
    EXPECT_EQ(answer(), 42);
  }
}

static int FunctionInThisExecutable() {
  return 7;
}

TEST(ModulePath, NamesTheFileHoldingAnAddress) {
  std::optional<std::string> path =
      platform::ModulePathOf(reinterpret_cast<const void*>(&FunctionInThisExecutable));
  ASSERT_TRUE(path.has_value());
  EXPECT_NE(path->find("platform_tests"), std::string::npos) << *path;
  EXPECT_EQ(path->front(), '/');
  EXPECT_FALSE(platform::ModulePathOf(nullptr).has_value());
}

TEST(ClockAndIds, PlausibleValues) {
  platform::LocalTime now = platform::NowLocal();
  EXPECT_GE(now.year, 2000u);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12);
  EXPECT_TRUE(now.day >= 1 && now.day <= 31);
  EXPECT_LE(now.hour, 23u);
  EXPECT_LE(now.second, 59u);
  EXPECT_LE(now.millisecond, 999u);
  uint32_t first = platform::TickCount();
  EXPECT_LE(static_cast<uint32_t>(platform::TickCount() - first), 60000u);
  EXPECT_NE(platform::ProcessId(), 0u);
  uint32_t mainThread = platform::ThreadId();
  uint32_t otherThread = 0;
  std::thread([&] { otherThread = platform::ThreadId(); }).join();
  EXPECT_NE(mainThread, otherThread);
}

TEST(ClockAndIds, AForkedChildNamesItsOwnProcessAndThread) {
  // The ids are kept once asked for; a child must not log its parent's.
  const uint32_t parent = platform::ProcessId();
  EXPECT_EQ(parent, static_cast<uint32_t>(::getpid()));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const bool own = platform::ProcessId() == static_cast<uint32_t>(::getpid()) &&
                     platform::ThreadId() == static_cast<uint32_t>(::syscall(SYS_gettid));
    ::_exit(own && platform::ProcessId() != parent ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(Lock, GuardsACounterAcrossThreads) {
  platform::Lock lock;
  long counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 10000; ++i) {
        platform::LockGuard guard(lock);
        ++counter;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(counter, 40000);
}

TEST(DebugOutput, CanBeSwitchedOff) {
  platform::SetDebugOutputEnabled(false);
  EXPECT_FALSE(platform::DebugOutputEnabled());
  testing::internal::CaptureStderr();
  platform::DebugOutput("hidden\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  platform::SetDebugOutputEnabled(true);
  EXPECT_TRUE(platform::DebugOutputEnabled());
}
