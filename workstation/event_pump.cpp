#include "workstation/event_pump.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <utility>

namespace workstation {

EventPump::EventPump() {
  clock_.start();
}

std::uint32_t EventPump::tickCount() const {
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(clock_.elapsed()));
}

void EventPump::post(std::function<void()> handler) {
  enqueue(host::Message{host::kUserMessage, 0, std::move(handler)});
}

void EventPump::postQuit(int exitCode) {
  try {
    enqueue(host::Message{
        host::kQuitMessage, static_cast<std::uint64_t>(static_cast<std::int64_t>(exitCode)), {}});
  } catch (...) {
    // Out of memory; nothing sensible can be queued.
  }
}

void EventPump::enqueue(host::Message message) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(message));
  }
  // Wakes the thread's event loop wherever it waits.
  QMetaObject::invokeMethod(
      this, [this] { drain(); }, Qt::QueuedConnection);
}

bool EventPump::hasMessages() {
  std::lock_guard<std::mutex> lock(mutex_);
  return !queue_.empty();
}

host::WaitResult EventPump::waitForInput(std::uint32_t timeoutMs) {
  lastWaitMs_ = timeoutMs;
  try {
    if (hasMessages()) return host::WaitResult::Input;
    QDeadlineTimer deadline(static_cast<qint64>(timeoutMs));
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(static_cast<int>(std::min<std::uint32_t>(timeoutMs, 0x7FFFFFFF)));
    ++waitDepth_;
    while (!hasMessages() && !deadline.hasExpired())
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    --waitDepth_;
    return hasMessages() ? host::WaitResult::Input : host::WaitResult::Timeout;
  } catch (...) {
    return host::WaitResult::Failed;
  }
}

bool EventPump::peekMessage(host::Message& out) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (queue_.empty()) return false;
  out = std::move(queue_.front());
  queue_.pop_front();
  return true;
}

void EventPump::dispatchMessage(host::Message& message) {
  try {
    if (message.handler) message.handler();
  } catch (...) {
    // A handler's failure is its own; the loop keeps running.
  }
}

void EventPump::drain() {
  if (waitDepth_ > 0) return;
  host::Message message;
  while (peekMessage(message)) {
    if (message.id == host::kQuitMessage) {
      quitReached_ = true;
      exitCode_ = static_cast<int>(message.wParam);
      QCoreApplication::exit(exitCode_);
      return;
    }
    dispatchMessage(message);
  }
}

}  // namespace workstation
