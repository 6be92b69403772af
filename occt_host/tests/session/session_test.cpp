#include <gtest/gtest.h>

#include "host/application.h"
#include "host/environment.h"
#include "occt_host/session/session.h"
#include "occt_host/session/viewer.h"

namespace occt_host {
namespace {

TEST(SessionTest, InstallsItselfAsTheEnvironmentWhileAlive) {
  EXPECT_EQ(host::environment(), nullptr);
  {
    Session session;
    ASSERT_NE(host::environment(), nullptr);
    EXPECT_TRUE(host::sameObject(host::environment()->currentLayout(), session.layout()));
    EXPECT_EQ(&host::environment()->messagePump(), &session.eventLoop());
  }
  EXPECT_EQ(host::environment(), nullptr);
}

TEST(SessionTest, WindowsInCreationOrderAndTheNewestIsCurrent) {
  Session session;
  auto a = session.newDocument("Part");
  auto b = session.newDocument("Product");
  EXPECT_EQ(session.documents().size(), 2u);
  auto w1 = session.openWindow(a);
  auto w2 = session.openWindow(b, /*withViewer=*/false);
  ASSERT_TRUE(w1 && w2);
  auto layout = session.layout();
  auto windows = layout->windows();
  ASSERT_EQ(windows.size(), 2u);
  EXPECT_TRUE(host::sameObject(windows[0], w1));
  EXPECT_TRUE(host::sameObject(layout->currentWindow(), w2));
  EXPECT_FALSE(w2->viewer());
  EXPECT_TRUE(host::sameObject(w1->editor(), host::query<host::DocumentEditor>(a)->editor()));
  EXPECT_EQ(layout->setCurrentWindow(w1), host::kOk);
  EXPECT_TRUE(host::sameObject(layout->currentWindow(), w1));

  Session other;
  auto foreignWindow = other.openWindow(other.newDocument("Part"));
  EXPECT_EQ(layout->setCurrentWindow(foreignWindow), host::kInvalidArg);
  EXPECT_FALSE(session.openWindow(other.documents()[0]));
}

TEST(SessionTest, ViewersCountRedraws) {
  Session session;
  auto window = session.openWindow(session.newDocument("Part"));
  auto viewer = window->viewer();
  ASSERT_TRUE(viewer);
  EXPECT_EQ(redrawCount(viewer), 0);
  viewer->redraw();
  viewer->redraw();
  EXPECT_EQ(redrawCount(viewer), 2);
  EXPECT_EQ(redrawCount(nullptr), -1);
}

TEST(SessionTest, TickCountAdvances) {
  Session session;
  std::uint32_t before = host::environment()->tickCount();
  session.eventLoop().waitForInput(20);
  EXPECT_GE(static_cast<std::uint32_t>(host::environment()->tickCount() - before), 15u);
}

}  // namespace
}  // namespace occt_host
