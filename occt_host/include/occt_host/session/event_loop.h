// The user-interface thread's message loop: posted messages, timers and quit, pumped on
// one thread. Other threads may only post.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>

#include "host/message_pump.h"

namespace occt_host {

class EventLoop : public host::MessagePump {
 public:
  using Clock = std::chrono::steady_clock;

  EventLoop();

  // Queues `handler` as a user message; safe from any thread.
  void post(std::function<void()> handler);
  // Calls `handler` every `intervalMs` through timer messages; returns the timer id (> 0).
  std::uint32_t setTimer(std::uint32_t intervalMs, std::function<void()> handler);
  bool killTimer(std::uint32_t id);
  // Pumps messages until a quit message arrives and returns its exit code.
  int run();
  // Milliseconds of the steady clock since the loop was made, wrapping at 2^32.
  std::uint32_t tickCount() const;
  // True while a quit message waits in the queue; safe from any thread, so that a kernel
  // operation holding the loop's thread can notice that the user is leaving.
  bool quitQueued() const { return quitsQueued_.load(std::memory_order_relaxed) > 0; }

  // host::MessagePump
  host::WaitResult waitForInput(std::uint32_t timeoutMs) override;
  // Posted messages come first in their order; a due timer yields a timer message
  // (wParam = timer id) only when nothing is posted, as on the original platform.
  bool peekMessage(host::Message& out) override;
  void dispatchMessage(host::Message& message) override;
  void postQuit(int exitCode) override;

 private:
  struct Timer {
    std::chrono::milliseconds interval;
    Clock::time_point due;
    std::function<void()> handler;
  };

  void enqueue(host::Message message);
  bool inputReady(Clock::time_point now) const;
  std::optional<Clock::time_point> nextDue() const;
  // Blocks until input or `deadline`; watched file descriptors would join the wait here.
  bool waitUntil(std::unique_lock<std::mutex>& lock, Clock::time_point deadline);
  bool takeDueTimer(Clock::time_point now, host::Message& out);

  const Clock::time_point start_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<host::Message> queue_;
  std::map<std::uint32_t, Timer> timers_;
  std::uint32_t nextTimerId_ = 1;
  std::atomic<int> quitsQueued_{0};
};

}  // namespace occt_host
