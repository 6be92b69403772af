#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include "occt_host/session/event_loop.h"

namespace occt_host {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

TEST(EventLoopTest, PostedMessagesDispatchInOrder) {
  EventLoop loop;
  std::string trace;
  loop.post([&] { trace += "a"; });
  loop.post([&] { trace += "b"; });
  loop.post([&] { trace += "c"; });
  host::Message message;
  while (loop.peekMessage(message)) {
    EXPECT_EQ(message.id, host::kUserMessage);
    loop.dispatchMessage(message);
  }
  EXPECT_EQ(trace, "abc");
}

TEST(EventLoopTest, QuitIsQueuedWithItsCodeAfterEarlierMessages) {
  EventLoop loop;
  int ran = 0;
  loop.post([&] { ++ran; });
  loop.postQuit(42);
  host::Message message;
  ASSERT_TRUE(loop.peekMessage(message));
  EXPECT_EQ(message.id, host::kUserMessage);
  ASSERT_TRUE(loop.peekMessage(message));
  EXPECT_EQ(message.id, host::kQuitMessage);
  EXPECT_EQ(message.wParam, 42u);
  EXPECT_FALSE(message.handler);
  EXPECT_FALSE(loop.peekMessage(message));
}

TEST(EventLoopTest, RunReturnsTheQuitCode) {
  EventLoop loop;
  int ran = 0;
  loop.post([&] {
    ++ran;
    loop.postQuit(7);
  });
  loop.post([&] { ++ran; });
  EXPECT_EQ(loop.run(), 7);
  EXPECT_EQ(ran, 2);
}

TEST(EventLoopTest, TimersFireUntilKilled) {
  EventLoop loop;
  int fired = 0;
  std::uint32_t id = 0;
  id = loop.setTimer(5, [&] {
    if (++fired == 3) {
      loop.killTimer(id);
      loop.postQuit(0);
    }
  });
  ASSERT_GT(id, 0u);
  EXPECT_EQ(loop.run(), 0);
  EXPECT_EQ(fired, 3);
  EXPECT_FALSE(loop.killTimer(id));
}

TEST(EventLoopTest, DueTimerIsATimerMessageWithItsId) {
  EventLoop loop;
  std::uint32_t id = loop.setTimer(1, [] {});
  host::Message message;
  EXPECT_EQ(loop.waitForInput(5000), host::WaitResult::Input);
  ASSERT_TRUE(loop.peekMessage(message));
  EXPECT_EQ(message.id, host::kTimerMessage);
  EXPECT_EQ(message.wParam, id);
}

TEST(EventLoopTest, WaitTimesOutWithoutInput) {
  EventLoop loop;
  auto start = Clock::now();
  EXPECT_EQ(loop.waitForInput(30), host::WaitResult::Timeout);
  EXPECT_GE(Clock::now() - start, milliseconds(25));
  EXPECT_EQ(loop.waitForInput(0), host::WaitResult::Timeout);
}

TEST(EventLoopTest, QueuedMessageIsInputAtOnce) {
  EventLoop loop;
  loop.post([] {});
  auto start = Clock::now();
  EXPECT_EQ(loop.waitForInput(60000), host::WaitResult::Input);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
}

TEST(EventLoopTest, PostFromAnotherThreadWakesTheWait) {
  EventLoop loop;
  bool ran = false;
  std::thread poster([&] {
    std::this_thread::sleep_for(milliseconds(20));
    loop.post([&] { ran = true; });
  });
  EXPECT_EQ(loop.waitForInput(60000), host::WaitResult::Input);
  poster.join();
  host::Message message;
  ASSERT_TRUE(loop.peekMessage(message));
  loop.dispatchMessage(message);
  EXPECT_TRUE(ran);
}

TEST(EventLoopTest, AThrowingHandlerDoesNotEscapeDispatch) {
  EventLoop loop;
  loop.post([] { throw std::runtime_error("handler failed"); });
  host::Message message;
  ASSERT_TRUE(loop.peekMessage(message));
  EXPECT_NO_THROW(loop.dispatchMessage(message));
}

}  // namespace
}  // namespace occt_host
