// Long kernel operations stop at their time budget or when the user quits; the feature
// fails with the reason and the Part goes on working.
#include <gtest/gtest.h>

#include <chrono>

#include "occt_host/kernel/operation_budget.h"
#include "plate_fixture.h"
#include "platform/environment.h"

namespace occt_host::testing {
namespace {

using Clock = std::chrono::steady_clock;
using OperationBudgetTest = PlateFixture;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

TEST_F(OperationBudgetTest, SlowBooleanIsInterruptedAtItsBudgetAndThePartGoesOn) {
  ::occt_host::testing::ScopedBudget budget(1.0);
  auto plateFeature = plate();
  ASSERT_TRUE(plateFeature);
  // The cut of the next pocket from the plate takes a minute, as a hung kernel step would.
  ::occt_host::testing::delayNextOperation(std::chrono::seconds(60));
  auto start = Clock::now();
  auto slow = pocket(rectangle(0, 0, 10, 10, 10), 5, 0);
  ASSERT_TRUE(slow);
  host::UpdateResult result = slow->update();
  double elapsed = secondsSince(start);
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.diagnostic.find("interrupted after 1 s"), std::string::npos)
      << result.diagnostic;
  EXPECT_GE(elapsed, 0.9);
  EXPECT_LT(elapsed, 10.0);

  // The failed pocket passes the plate on; a later pad builds on it and the file is written.
  auto later = pad(rectangle(0, 0, 20, 20, 10), 2, 0);
  ASSERT_TRUE(later);
  host::UpdateResult next = later->update();
  ASSERT_TRUE(next.ok()) << next.diagnostic;
  // 100 * 100 * 10 + 20 * 20 * 2 = 100800.
  EXPECT_NEAR(volume(solidOf(part->mainBody())), 100800.0, 100800.0 * 1e-6);
  std::vector<double> volumes = exportedSolidVolumes();
  ASSERT_EQ(volumes.size(), 1u);
  EXPECT_NEAR(volumes[0], 100800.0, 100800.0 * 1e-6);
}

TEST_F(OperationBudgetTest, QueuedQuitStopsTheKernelUntilTheLoopTakesIt) {
  auto plateFeature = plate();
  ASSERT_TRUE(plateFeature);
  session.eventLoop().postQuit(3);
  auto stopped = pocket(rectangle(0, 0, 10, 10, 10), 5, 0);
  ASSERT_TRUE(stopped);
  host::UpdateResult result = stopped->update();
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.diagnostic.find("interrupted: the session is quitting"), std::string::npos)
      << result.diagnostic;

  // Once the loop has taken its quit, the kernel works again.
  host::Message message;
  ASSERT_TRUE(session.eventLoop().peekMessage(message));
  EXPECT_EQ(message.id, host::kQuitMessage);
  auto later = pad(rectangle(0, 0, 20, 20, 10), 2, 0);
  ASSERT_TRUE(later);
  host::UpdateResult next = later->update();
  ASSERT_TRUE(next.ok()) << next.diagnostic;
  EXPECT_NEAR(volume(solidOf(part->mainBody())), 100800.0, 100800.0 * 1e-6);
}

TEST_F(OperationBudgetTest, RequestedStopHoldsUntilCleared) {
  auto plateFeature = plate();
  ASSERT_TRUE(plateFeature);
  requestKernelStop();
  auto stopped = pocket(rectangle(0, 0, 10, 10, 10), 5, 0);
  host::UpdateResult result = stopped->update();
  clearKernelStop();
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.diagnostic.find("the session is quitting"), std::string::npos)
      << result.diagnostic;
  auto later = pad(rectangle(0, 0, 20, 20, 10), 2, 0);
  EXPECT_TRUE(later->update().ok());
}

TEST_F(OperationBudgetTest, StepExportStopsWhenTheUserQuits) {
  ASSERT_TRUE(plate());
  session.eventLoop().postQuit(0);
  std::string error;
  EXPECT_FALSE(exportStep(document, stepPath, &error));
  EXPECT_NE(error.find("interrupted: the session is quitting"), std::string::npos) << error;
  host::Message message;
  ASSERT_TRUE(session.eventLoop().peekMessage(message));
  EXPECT_TRUE(exportStep(document, stepPath, &error)) << error;
}

TEST(OperationBudgetSettingTest, EnvironmentGivesTheBudgetAndBadValuesKeepTheDefault) {
  const char* name = "TOLVANE_KERNEL_BUDGET_S";
  platform::UnsetEnv(name);
  EXPECT_EQ(operationBudgetSeconds(), 60.0);
  platform::SetEnv(name, "2.5");
  EXPECT_EQ(operationBudgetSeconds(), 2.5);
  OperationBudget budget("Pad.1: the union");
  EXPECT_EQ(budget.interruptionText(), "Pad.1: the union interrupted after 2.5 s");
  for (const char* bad : {"", "0", "-3", "abc", "5s", "inf", "nan"}) {
    platform::SetEnv(name, bad);
    EXPECT_EQ(operationBudgetSeconds(), 60.0) << bad;
  }
  {
    ::occt_host::testing::ScopedBudget forced(1.0);
    EXPECT_EQ(operationBudgetSeconds(), 1.0);
  }
  platform::UnsetEnv(name);
  EXPECT_EQ(operationBudgetSeconds(), 60.0);
}

}  // namespace
}  // namespace occt_host::testing
