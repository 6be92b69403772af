#include "workstation/thread_timers.h"

#include <QTimer>

#include <algorithm>

namespace workstation {

namespace {

// Whole milliseconds left until `due`, rounded up so that a wake-up is never early.
int MillisecondsUntil(const QDeadlineTimer& due) {
  const qint64 ns = due.remainingTimeNSecs();
  if (ns <= 0) return 0;
  return static_cast<int>(std::min<qint64>((ns + 999999) / 1000000, 0x7FFFFFFF));
}

}  // namespace

QtThreadTimers::~QtThreadTimers() {
  for (auto& entry : timers_) delete entry.second.timer;
}

std::uint32_t QtThreadTimers::start(std::uint32_t intervalMs, Callback callback) {
  const std::uint32_t id = nextId_++;
  Timer entry;
  entry.intervalMs = std::min<std::uint32_t>(intervalMs, 0x7FFFFFFF);
  entry.callback = std::move(callback);
  entry.timer = new QTimer();
  entry.timer->setTimerType(Qt::PreciseTimer);
  entry.timer->setSingleShot(true);
  QObject::connect(entry.timer, &QTimer::timeout, [this, id] { onTimeout(id); });
  entry.due = QDeadlineTimer(entry.intervalMs, Qt::PreciseTimer);
  entry.timer->start(static_cast<int>(entry.intervalMs));
  timers_[id] = std::move(entry);
  return id;
}

void QtThreadTimers::onTimeout(std::uint32_t id) {
  auto found = timers_.find(id);
  if (found == timers_.end()) return;
  Timer& entry = found->second;
  if (const int rest = MillisecondsUntil(entry.due); rest > 0) {
    entry.timer->start(rest);
    return;
  }
  // The next interval counts from now; the callback may kill the timer, so it runs last.
  entry.due = QDeadlineTimer(entry.intervalMs, Qt::PreciseTimer);
  entry.timer->start(static_cast<int>(entry.intervalMs));
  Callback callback = entry.callback;
  callback(id);
}

void QtThreadTimers::kill(std::uint32_t id) {
  auto found = timers_.find(id);
  if (found == timers_.end()) return;
  found->second.timer->stop();
  // The timer may be the one whose signal is running.
  found->second.timer->deleteLater();
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
