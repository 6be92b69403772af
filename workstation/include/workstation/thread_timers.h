// Thread timers: a callback with the timer's id every interval until the timer is killed.
// The Qt timers run on the event loop; the manual ones fire when a test advances their clock.
#pragma once

#include <QDeadlineTimer>
#include <QObject>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

class QTimer;

namespace workstation {

class ThreadTimers {
 public:
  using Callback = std::function<void(std::uint32_t)>;
  virtual ~ThreadTimers() = default;
  // 0 when no timer can be made.
  virtual std::uint32_t start(std::uint32_t intervalMs, Callback callback) = 0;
  virtual void kill(std::uint32_t id) = 0;
  virtual std::size_t active() const = 0;
};

// Never early: a timer fires once its whole interval has passed on the monotonic clock,
// measured from its start or its last firing. Qt's timers are precise here, and a wake-up
// that still comes early only waits for the rest.
class QtThreadTimers : public ThreadTimers {
 public:
  ~QtThreadTimers() override;
  std::uint32_t start(std::uint32_t intervalMs, Callback callback) override;
  void kill(std::uint32_t id) override;
  std::size_t active() const override { return timers_.size(); }

 private:
  struct Timer {
    QTimer* timer = nullptr;
    std::int64_t intervalMs = 0;
    QDeadlineTimer due;
    Callback callback;
  };
  void onTimeout(std::uint32_t id);

  std::map<std::uint32_t, Timer> timers_;
  std::uint32_t nextId_ = 1;
};

// A clock that only moves when told: advance() fires every timer that falls due, in order.
class ManualThreadTimers : public ThreadTimers {
 public:
  std::uint32_t start(std::uint32_t intervalMs, Callback callback) override;
  void kill(std::uint32_t id) override;
  std::size_t active() const override { return timers_.size(); }
  void advance(std::uint64_t ms);
  std::uint64_t now() const { return now_; }

 private:
  struct Timer {
    std::uint64_t interval;
    std::uint64_t due;
    Callback callback;
  };
  std::map<std::uint32_t, Timer> timers_;
  std::uint32_t nextId_ = 1;
  std::uint64_t now_ = 0;
};

}  // namespace workstation
