// Refresh and pause after an item: redraws, message pumping, quit and re-entrance.
#include "entry/viewer_pause.h"
#include "entry/busy_flag.h"
#include "entry_fixture.h"
#include "host/environment.h"

namespace {

using kestrun::PauseOutcome;

TEST_F(EntryTest, RefreshRedrawsTheViewerOfTheDocumentsWindow) {
  auto other = session.newDocument("Part");
  auto otherWindow = session.openWindow(other);
  ASSERT_TRUE(kestrun::refreshViewer(document.get()));
  EXPECT_EQ(occt_host::redrawCount(window->viewer()), 2);
  EXPECT_EQ(occt_host::redrawCount(otherWindow->viewer()), 0);
  EXPECT_TRUE(host::sameObject(session.layout()->currentWindow(), window));
}

TEST_F(EntryTest, RefreshFailsWithoutAWindowOrViewer) {
  auto hidden = session.newDocument("Part");
  EXPECT_FALSE(kestrun::refreshViewer(hidden.get()));
  auto blind = session.newDocument("Part");
  session.openWindow(blind, /*withViewer=*/false);
  EXPECT_FALSE(kestrun::refreshViewer(blind.get()));
  EXPECT_FALSE(kestrun::refreshViewer(nullptr));
  EXPECT_EQ(kestrun::refreshAndPause(blind.get(), 10), PauseOutcome::RefreshFailed);
  EXPECT_EQ(kestrun::refreshAndPause(nullptr, 10), PauseOutcome::RefreshFailed);
}

TEST_F(EntryTest, ADocumentWithoutAWindowIsNeitherRefreshedNorPaused) {
  auto hidden = session.newDocument("Part");
  EXPECT_TRUE(kestrun::shownInNoWindow(hidden.get()));
  EXPECT_FALSE(kestrun::shownInNoWindow(document.get()));
  EXPECT_FALSE(kestrun::shownInNoWindow(nullptr));
  int handled = 0;
  session.eventLoop().post([&] { ++handled; });
  EXPECT_EQ(kestrun::refreshAndPause(hidden.get(), 30), PauseOutcome::Continue);
  // No pause: the posted message is still waiting, and no viewer was redrawn.
  EXPECT_EQ(handled, 0);
  EXPECT_EQ(occt_host::redrawCount(window->viewer()), 0);
}

TEST_F(EntryTest, NoDelayMeansNoRefreshAndNoPause) {
  auto hidden = session.newDocument("Part");
  EXPECT_EQ(kestrun::refreshAndPause(hidden.get(), 0), PauseOutcome::Continue);
  EXPECT_EQ(kestrun::refreshAndPause(hidden.get(), 0xFFFFFFFFu), PauseOutcome::Continue);
}

TEST_F(EntryTest, PauseDispatchesPostedMessages) {
  int handled = 0;
  session.eventLoop().post([&] { ++handled; });
  session.eventLoop().post([&] { ++handled; });
  EXPECT_EQ(kestrun::refreshAndPause(document.get(), 30), PauseOutcome::Continue);
  EXPECT_EQ(handled, 2);
}

TEST_F(EntryTest, QuitDuringAPauseCancelsAndIsPostedAgain) {
  int after = 0;
  session.eventLoop().postQuit(7);
  session.eventLoop().post([&] { ++after; });
  EXPECT_EQ(kestrun::pumpMessagesFor(5000), PauseOutcome::HostExiting);
  // The host still sees its quit, with the same exit code, after the import returns.
  host::MessagePump& pump = host::environment()->messagePump();
  host::Message message;
  bool sawQuit = false;
  while (pump.peekMessage(message)) {
    if (message.id == host::kQuitMessage) {
      sawQuit = true;
      EXPECT_EQ(message.wParam, 7u);
    } else {
      pump.dispatchMessage(message);
    }
  }
  EXPECT_TRUE(sawQuit);
  EXPECT_EQ(after, 1);
}

TEST_F(EntryTest, ReentrantDrawDuringAPauseIsRefusedWithoutDisturbingTheImport) {
  ASSERT_TRUE(kestrun::BusyFlag::tryTake());  // an import is running
  MardelImportResult inner{};
  int32_t innerStatus = -1;
  session.eventLoop().post(
      [&] { innerStatus = MardelImport_DrawJson(document.get(), nullptr, 0, nullptr, &inner); });
  EXPECT_EQ(kestrun::refreshAndPause(document.get(), 30), PauseOutcome::Continue);
  EXPECT_TRUE(kestrun::BusyFlag::taken());
  kestrun::BusyFlag::release();
  EXPECT_EQ(innerStatus, 2);
  EXPECT_EQ(inner.errorCode, 100);
  EXPECT_STREQ(inner.message, "MardelImport_DrawJson reentrant calls are not supported.");
  EXPECT_EQ(exported().solids, 0);
  // Once the flag is free again, a draw goes through.
  EXPECT_EQ(draw("{}"), 1);
}

}  // namespace
