// A non-recursive lock for the platform's process-wide state.
#pragma once

#if !defined(_WIN32)
#include <mutex>
#endif

namespace platform {

// A non-recursive lock, the counterpart of the host's critical section.
#if defined(_WIN32)
// On Windows it is one: the storage holds a CRITICAL_SECTION, kept out of this header so that
// its users need no windows.h.
class Lock {
 public:
  Lock();
  ~Lock();
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;
  void Enter();
  void Leave();

 private:
  alignas(void*) unsigned char section_[40];
};
#else
class Lock {
 public:
  void Enter() { mutex_.lock(); }
  void Leave() { mutex_.unlock(); }

 private:
  std::mutex mutex_;
};
#endif

class LockGuard {
 public:
  explicit LockGuard(Lock& lock) : lock_(lock) { lock_.Enter(); }
  ~LockGuard() { lock_.Leave(); }
  LockGuard(const LockGuard&) = delete;
  LockGuard& operator=(const LockGuard&) = delete;

 private:
  Lock& lock_;
};

}  // namespace platform
