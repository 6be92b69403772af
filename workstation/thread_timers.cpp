#include "workstation/thread_timers.h"

#include <QTimer>

#include <algorithm>

namespace workstation {

QtThreadTimers::~QtThreadTimers() {
  for (auto& entry : timers_) delete entry.second;
}

std::uint32_t QtThreadTimers::start(std::uint32_t intervalMs, Callback callback) {
  const std::uint32_t id = nextId_++;
  auto* timer = new QTimer();
  timer->setInterval(static_cast<int>(std::min<std::uint32_t>(intervalMs, 0x7FFFFFFF)));
  QObject::connect(timer, &QTimer::timeout, [callback, id] { callback(id); });
  timers_[id] = timer;
  timer->start();
  return id;
}

void QtThreadTimers::kill(std::uint32_t id) {
  auto found = timers_.find(id);
  if (found == timers_.end()) return;
  found->second->stop();
  // The timer may be the one whose signal is running.
  found->second->deleteLater();
  timers_.erase(found);
}

std::uint32_t ManualThreadTimers::start(std::uint32_t intervalMs, Callback callback) {
  const std::uint32_t id = nextId_++;
  const std::uint64_t interval = std::max<std::uint32_t>(intervalMs, 1);
  timers_[id] = Timer{interval, now_ + interval, std::move(callback)};
  return id;
}

void ManualThreadTimers::kill(std::uint32_t id) {
  timers_.erase(id);
}

void ManualThreadTimers::advance(std::uint64_t ms) {
  const std::uint64_t end = now_ + ms;
  for (;;) {
    auto next = std::min_element(timers_.begin(), timers_.end(), [](const auto& a, const auto& b) {
      return a.second.due < b.second.due;
    });
    if (next == timers_.end() || next->second.due > end) break;
    now_ = next->second.due;
    const std::uint32_t id = next->first;
    next->second.due += next->second.interval;
    Callback callback = next->second.callback;
    callback(id);
  }
  now_ = end;
}

}  // namespace workstation
