// The user-interface thread's message queue, as a drawing pause pumps it.
#pragma once

#include <cstdint>
#include <functional>

namespace host {

// Message ids keep the platform's numbers.
constexpr std::uint32_t kQuitMessage = 0x0012;
constexpr std::uint32_t kTimerMessage = 0x0113;
constexpr std::uint32_t kUserMessage = 0x0400;

struct Message {
  std::uint32_t id = 0;
  std::uint64_t wParam = 0;
  // What dispatching the message runs; empty for quit.
  std::function<void()> handler;
};

enum class WaitResult { Input, Timeout, Failed };

class MessagePump {
 public:
  virtual ~MessagePump() = default;
  // Waits until a message is queued or `timeoutMs` elapses.
  virtual WaitResult waitForInput(std::uint32_t timeoutMs) = 0;
  // Removes the next message, if any.
  virtual bool peekMessage(Message& out) = 0;
  virtual void dispatchMessage(Message& message) = 0;
  // Queues a quit message with this exit code.
  virtual void postQuit(int exitCode) = 0;
};

}  // namespace host
