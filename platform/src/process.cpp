#include "platform/process.h"

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>

namespace platform {
namespace {

// Every log line names its process and thread; both are asked of the kernel once and kept,
// and a forked child, whose ids differ, asks again.
std::atomic<uint64_t> g_forks{0};

void CountFork() {
  g_forks.fetch_add(1, std::memory_order_relaxed);
}

struct ForkWatch {
  ForkWatch() { pthread_atfork(nullptr, nullptr, CountFork); }
};

struct CachedId {
  uint64_t generation = ~uint64_t{0};
  uint32_t value = 0;
};

template <typename Read>
uint32_t Cached(CachedId& id, Read read) {
  static const ForkWatch watch;
  const uint64_t generation = g_forks.load(std::memory_order_relaxed);
  if (id.generation != generation) {
    id.value = read();
    id.generation = generation;
  }
  return id.value;
}

}  // namespace

uint32_t ProcessId() {
  static thread_local CachedId id;
  return Cached(id, [] { return static_cast<uint32_t>(::getpid()); });
}

uint32_t ThreadId() {
  static thread_local CachedId id;
  return Cached(id, [] { return static_cast<uint32_t>(::syscall(SYS_gettid)); });
}

}  // namespace platform
