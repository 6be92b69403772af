// The user-interface thread's message queue on Qt's event loop. Host messages (posted
// handlers and quit) wait in a queue of their own; waiting for input runs Qt's events, so
// windows repaint and respond while a drawing pauses.
#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

#include "host/message_pump.h"

namespace workstation {

class EventPump : public QObject, public host::MessagePump {
  Q_OBJECT

 public:
  EventPump();

  // Queues `handler` as a user message; safe from any thread.
  void post(std::function<void()> handler);
  // Milliseconds since the pump was made, wrapping at 2^32.
  std::uint32_t tickCount() const;
  // Whether a quit reached the application's own loop, and its code.
  bool quitReached() const { return quitReached_; }
  int exitCode() const { return exitCode_; }
  // How long the last wait for input was allowed to take, in milliseconds: a drawing's pause
  // after each item waits so.
  std::uint32_t lastWaitMs() const { return lastWaitMs_; }

  // host::MessagePump
  host::WaitResult waitForInput(std::uint32_t timeoutMs) override;
  bool peekMessage(host::Message& out) override;
  void dispatchMessage(host::Message& message) override;
  void postQuit(int exitCode) override;

 private:
  void enqueue(host::Message message);
  bool hasMessages();
  // Runs queued host messages when control is back in the application's loop; inside a
  // drawing's pause they are left to the pause, which takes them one by one.
  void drain();

  QElapsedTimer clock_;
  std::mutex mutex_;
  std::deque<host::Message> queue_;
  int waitDepth_ = 0;
  std::uint32_t lastWaitMs_ = 0;
  bool quitReached_ = false;
  int exitCode_ = 0;
};

}  // namespace workstation
