#include "occt_host/kernel/operation_budget.h"

#include <Message_ProgressIndicator.hxx>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "host/environment.h"
#include "occt_host/session/event_loop.h"
#include "platform/environment.h"

namespace occt_host {

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kDefaultSeconds = 60.0;

std::atomic<bool> stopRequested{false};
// 0 when no test replaces the budget.
std::atomic<double> overrideSeconds{0.0};
std::atomic<long long> pendingDelayMs{0};

double configuredSeconds() {
  double forced = overrideSeconds.load();
  if (forced > 0) return forced;
  auto text = platform::GetEnv("TOLVANE_KERNEL_BUDGET_S");
  if (!text || text->empty()) return kDefaultSeconds;
  char* end = nullptr;
  double value = std::strtod(text->c_str(), &end);
  // Anything but a positive finite number keeps the default rather than disabling the bound.
  if (end == text->c_str() || *end != '\0' || !std::isfinite(value) || value <= 0)
    return kDefaultSeconds;
  return value;
}

// A quit queued on the session's loop means the user is leaving; the loop cannot run while
// the kernel holds the thread, so the kernel is asked to give it back.
bool quitting() {
  if (stopRequested.load(std::memory_order_relaxed)) return true;
  host::Environment* env = host::environment();
  if (!env) return false;
  auto* loop = dynamic_cast<EventLoop*>(&env->messagePump());
  return loop && loop->quitQueued();
}

std::string formatSeconds(double seconds) {
  std::ostringstream text;
  text << seconds;
  return text.str();
}

}  // namespace

// Answers a user break once the operation's time is spent or the user quits. The kernel
// may ask from worker threads, so the answer only reads the clock and atomics.
class BudgetIndicator : public Message_ProgressIndicator {
 public:
  BudgetIndicator(double seconds, long long delayMs)
      : seconds_(seconds),
        deadline_(Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                     std::chrono::duration<double>(seconds))),
        delayMs_(delayMs) {}

  bool broken() const { return broken_.load(); }
  bool byQuit() const { return byQuit_.load(); }
  double seconds() const { return seconds_; }

 protected:
  Standard_Boolean UserBreak() override {
    if (broken_.load(std::memory_order_relaxed)) return Standard_True;
    if (quitting()) {
      byQuit_ = true;
      broken_ = true;
    } else if (Clock::now() >= deadline_) {
      broken_ = true;
    }
    return broken_.load();
  }

  // Nothing is shown; the step is only where a test makes the operation slow.
  void Show(const Message_ProgressScope&, const Standard_Boolean) override {
    long long delay = delayMs_.exchange(0);
    if (delay <= 0) return;
    auto until = Clock::now() + std::chrono::milliseconds(delay);
    while (Clock::now() < until && Clock::now() < deadline_)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }

 private:
  const double seconds_;
  const Clock::time_point deadline_;
  std::atomic<long long> delayMs_;
  std::atomic<bool> broken_{false};
  std::atomic<bool> byQuit_{false};
};

OperationBudget::OperationBudget(std::string what)
    : what_(std::move(what)),
      indicator_(new BudgetIndicator(configuredSeconds(), pendingDelayMs.exchange(0))) {}

OperationBudget::~OperationBudget() = default;

Message_ProgressRange OperationBudget::range() {
  return indicator_->Start();
}

bool OperationBudget::interrupted() const {
  return indicator_->broken();
}

double OperationBudget::seconds() const {
  return indicator_->seconds();
}

std::string OperationBudget::interruptionText() const {
  if (indicator_->byQuit()) return what_ + " interrupted: the session is quitting";
  return what_ + " interrupted after " + formatSeconds(indicator_->seconds()) + " s";
}

void OperationBudget::throwIfInterrupted() const {
  if (interrupted()) throw KernelInterrupted(interruptionText());
}

double operationBudgetSeconds() {
  return configuredSeconds();
}

void requestKernelStop() noexcept {
  stopRequested.store(true);
}

void clearKernelStop() noexcept {
  stopRequested.store(false);
}

namespace testing {

ScopedBudget::ScopedBudget(double seconds) : previous_(overrideSeconds.exchange(seconds)) {}

ScopedBudget::~ScopedBudget() {
  overrideSeconds.store(previous_);
}

void delayNextOperation(std::chrono::milliseconds wait) {
  pendingDelayMs.store(wait.count());
}

}  // namespace testing

}  // namespace occt_host
