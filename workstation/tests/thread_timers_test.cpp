// Thread timers on the real clock: none fires before its interval has passed, neither the
// first time nor the times after; the add-in's panel opens no sooner than 15 s after its
// toolbar.
#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <vector>

#include "workstation_fixture.h"

namespace workstation::testing {
namespace {

using Steady = std::chrono::steady_clock;

std::int64_t MillisecondsSince(Steady::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start).count();
}

void RunEventsFor(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 5);
}

// As the panel's initialization retries do: each firing kills its timer and starts the next,
// so every wait is measured from just before its own start.
struct Chain {
  QtThreadTimers* timers;
  std::uint32_t interval;
  Steady::time_point started;
  std::vector<std::int64_t> waits;

  void start() {
    started = Steady::now();
    timers->start(interval, [this](std::uint32_t id) {
      waits.push_back(MillisecondsSince(started));
      timers->kill(id);
      start();
    });
  }
};

TEST(QtThreadTimers, NoTimerFiresBeforeItsInterval) {
  QtThreadTimers timers;
  // The retry interval and its neighbours, and one periodic timer that is never killed.
  std::vector<Chain> chains;
  for (std::uint32_t interval : {250u, 250u, 251u, 260u, 333u, 400u, 499u, 997u})
    chains.push_back(Chain{&timers, interval, {}, {}});
  for (Chain& chain : chains) chain.start();
  const Steady::time_point periodicStart = Steady::now();
  std::vector<std::int64_t> periodic;
  timers.start(250, [&](std::uint32_t) { periodic.push_back(MillisecondsSince(periodicStart)); });
  RunEventsFor(2600);
  for (const Chain& chain : chains) {
    ASSERT_GE(chain.waits.size(), 2u) << chain.interval;
    for (std::int64_t wait : chain.waits) EXPECT_GE(wait, chain.interval) << chain.interval;
  }
  // The n-th firing of a periodic timer comes no sooner than n intervals after its start.
  ASSERT_GE(periodic.size(), 5u);
  for (size_t n = 0; n < periodic.size(); ++n)
    EXPECT_GE(periodic[n], static_cast<std::int64_t>(250 * (n + 1))) << "firing " << n + 1;
}

TEST(QtThreadTimers, AKilledTimerStopsAndOneKilledInItsCallbackFiresOnce) {
  QtThreadTimers timers;
  int killedFirst = 0, killedInside = 0;
  const std::uint32_t first = timers.start(50, [&](std::uint32_t) { ++killedFirst; });
  timers.start(50, [&](std::uint32_t id) {
    ++killedInside;
    timers.kill(id);
  });
  timers.kill(first);
  RunEventsFor(300);
  EXPECT_EQ(killedFirst, 0);
  EXPECT_EQ(killedInside, 1);
  EXPECT_EQ(timers.active(), 0u);
}

TEST_F(WorkstationTest, AutoOpenAfterFifteenSecondsOnTheRealClock) {
  platform::SetEnv("TOLVANE_AUTO_OPEN_PANEL", "on");
  Workstation& ws = MakeWorkstation(false);
  vantrel::VantrelAddin addin;
  addin.createCommands();
  const Steady::time_point built = Steady::now();
  addin.createToolbars();
  QElapsedTimer limit;
  limit.start();
  while (ws.commands().empty() && limit.elapsed() < 30000)
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  const std::int64_t opened = MillisecondsSince(built);
  ASSERT_EQ(ws.commands().size(), 1u);
  EXPECT_GE(opened, 15000);
  EXPECT_EQ(Count("VantrelAddin::AutoOpenPanel"), 1);
}

}  // namespace
}  // namespace workstation::testing
