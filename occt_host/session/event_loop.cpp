#include "occt_host/session/event_loop.h"

#include <algorithm>
#include <utility>

#include "kernel/kernel_guard.h"

namespace occt_host {

EventLoop::EventLoop() : start_(Clock::now()) {}

void EventLoop::post(std::function<void()> handler) {
  enqueue(host::Message{host::kUserMessage, 0, std::move(handler)});
}

void EventLoop::postQuit(int exitCode) {
  // The exit code travels as the platform's wParam does, sign-extended. Out of memory,
  // nothing sensible can be queued.
  runGuarded([&] {
    enqueue(host::Message{
        host::kQuitMessage, static_cast<std::uint64_t>(static_cast<std::int64_t>(exitCode)), {}});
  });
}

void EventLoop::enqueue(host::Message message) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    bool quit = message.id == host::kQuitMessage;
    queue_.push_back(std::move(message));
    if (quit) ++quitsQueued_;
  }
  wake_.notify_all();
}

std::uint32_t EventLoop::setTimer(std::uint32_t intervalMs, std::function<void()> handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::uint32_t id = nextTimerId_++;
  if (nextTimerId_ == 0) nextTimerId_ = 1;
  // A zero interval would starve every other message.
  std::chrono::milliseconds interval(std::max<std::uint32_t>(intervalMs, 1));
  timers_[id] = Timer{interval, Clock::now() + interval, std::move(handler)};
  wake_.notify_all();
  return id;
}

bool EventLoop::killTimer(std::uint32_t id) {
  std::lock_guard<std::mutex> lock(mutex_);
  return timers_.erase(id) > 0;
}

std::uint32_t EventLoop::tickCount() const {
  auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_);
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(elapsed.count()));
}

host::WaitResult EventLoop::waitForInput(std::uint32_t timeoutMs) {
  return guarded(host::WaitResult::Failed, [&] {
    std::unique_lock<std::mutex> lock(mutex_);
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    return waitUntil(lock, deadline) ? host::WaitResult::Input : host::WaitResult::Timeout;
  });
}

bool EventLoop::inputReady(Clock::time_point now) const {
  if (!queue_.empty()) return true;
  auto due = nextDue();
  return due && *due <= now;
}

std::optional<EventLoop::Clock::time_point> EventLoop::nextDue() const {
  std::optional<Clock::time_point> earliest;
  for (const auto& entry : timers_) {
    if (!earliest || entry.second.due < *earliest) earliest = entry.second.due;
  }
  return earliest;
}

// Timers wake nobody, so the wait is cut at the next due time and checked again.
bool EventLoop::waitUntil(std::unique_lock<std::mutex>& lock, Clock::time_point deadline) {
  for (;;) {
    auto now = Clock::now();
    if (inputReady(now)) return true;
    if (now >= deadline) return false;
    auto until = deadline;
    if (auto due = nextDue()) until = std::min(until, *due);
    wake_.wait_until(lock, until);
  }
}

bool EventLoop::peekMessage(host::Message& out) {
  return guarded(false, [&]() -> bool {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!queue_.empty()) {
      out = std::move(queue_.front());
      queue_.pop_front();
      if (out.id == host::kQuitMessage) --quitsQueued_;
      return true;
    }
    return takeDueTimer(Clock::now(), out);
  });
}

bool EventLoop::takeDueTimer(Clock::time_point now, host::Message& out) {
  auto due = std::min_element(timers_.begin(), timers_.end(), [](const auto& a, const auto& b) {
    return a.second.due < b.second.due;
  });
  if (due == timers_.end() || due->second.due > now) return false;
  // One message per due time; a late timer does not queue up missed ticks.
  due->second.due = now + due->second.interval;
  out = host::Message{host::kTimerMessage, due->first, due->second.handler};
  return true;
}

void EventLoop::dispatchMessage(host::Message& message) {
  // A handler's failure is its own; the loop keeps running.
  runGuarded([&] {
    if (message.handler) message.handler();
  });
}

int EventLoop::run() {
  for (;;) {
    host::Message message;
    while (peekMessage(message)) {
      if (message.id == host::kQuitMessage) return static_cast<int>(message.wParam);
      dispatchMessage(message);
    }
    std::unique_lock<std::mutex> lock(mutex_);
    waitUntil(lock, Clock::now() + std::chrono::hours(1));
  }
}

}  // namespace occt_host
