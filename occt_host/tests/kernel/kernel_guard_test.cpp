#include <gtest/gtest.h>

#include <Standard_ConstructionError.hxx>
#include <Standard_Failure.hxx>
#include <gp_Dir.hxx>

#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>

#include "kernel/kernel_guard.h"

namespace occt_host {
namespace {

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A kernel failure whose message cannot be read without memory.
class UnreadableFailure : public Standard_Failure {
 public:
  Standard_CString GetMessageString() const override { throw std::bad_alloc(); }
};

class KernelGuardTest : public ::testing::Test {
 protected:
  void SetUp() override { clearKernelFailure(); }
};

TEST_F(KernelGuardTest, KernelExceptionGivesItsTypeAndMessage) {
  std::string error;
  EXPECT_FALSE(runGuarded([] { throw Standard_ConstructionError("bad axis"); }, error));
  EXPECT_TRUE(has(error, "Standard_ConstructionError")) << error;
  EXPECT_TRUE(has(error, "bad axis")) << error;
  EXPECT_EQ(lastKernelFailure(), error);
}

TEST_F(KernelGuardTest, RealKernelFailureIsCaught) {
  std::string error;
  // A zero vector has no direction; the kernel raises Standard_ConstructionError.
  EXPECT_FALSE(runGuarded([] { gp_Dir(0, 0, 0); }, error));
  EXPECT_TRUE(has(error, "Standard_ConstructionError")) << error;
}

TEST_F(KernelGuardTest, StandardAndUnknownExceptionsAreCaught) {
  std::string error;
  EXPECT_FALSE(runGuarded([] { throw std::runtime_error("plain failure"); }, error));
  EXPECT_EQ(error, "plain failure");
  error.clear();
  EXPECT_FALSE(runGuarded([] { throw 42; }, error));
  EXPECT_EQ(error, "unknown exception in the modelling kernel");
  error.clear();
  EXPECT_TRUE(runGuarded([] {}, error));
  EXPECT_TRUE(error.empty());
}

TEST_F(KernelGuardTest, HeldFunctionTakesTheSamePath) {
  bool (*held)(const std::function<void()>&, std::string&) noexcept = &runGuarded;
  std::string error;
  EXPECT_FALSE(held([] { throw Standard_ConstructionError("bad axis"); }, error));
  EXPECT_EQ(error, "Standard_ConstructionError: bad axis");
  EXPECT_EQ(lastKernelFailure(), error);
  error.clear();
  EXPECT_TRUE(held([] {}, error));
  EXPECT_TRUE(error.empty());
}

TEST_F(KernelGuardTest, GuardedGivesTheWorksValueOnSuccess) {
  EXPECT_EQ(guarded(-1, [] { return 7; }), 7);
  auto made = guarded(nullptr, [] { return std::make_shared<int>(3); });
  ASSERT_TRUE(made);
  EXPECT_EQ(*made, 3);
  EXPECT_EQ(guarded({}, [] { return std::string("kept"); }), "kept");
  EXPECT_TRUE(lastKernelFailure().empty());
}

TEST_F(KernelGuardTest, GuardedKeepsTheKernelsReason) {
  auto made = guarded(nullptr, []() -> std::shared_ptr<int> {
    throw Standard_ConstructionError("gp_Dir() - input vector has zero norm");
  });
  EXPECT_FALSE(made);
  EXPECT_EQ(lastKernelFailure(),
            "Standard_ConstructionError: gp_Dir() - input vector has zero norm");
}

TEST_F(KernelGuardTest, GuardedKeepsStandardAndUnknownReasons) {
  EXPECT_EQ(guarded(-1, []() -> int { throw std::runtime_error("plain failure"); }), -1);
  EXPECT_EQ(lastKernelFailure(), "plain failure");
  EXPECT_FALSE(guarded(false, []() -> bool { throw 42; }));
  EXPECT_EQ(lastKernelFailure(), "unknown exception in the modelling kernel");
  EXPECT_EQ(guarded({}, []() -> std::string { throw std::runtime_error(""); }), "");
  EXPECT_EQ(lastKernelFailure(), "the modelling kernel failed without a message");
}

TEST_F(KernelGuardTest, LaterSuccessKeepsTheReasonAndLaterFailureReplacesIt) {
  EXPECT_FALSE(guarded(false, []() -> bool { throw std::runtime_error("first"); }));
  // The caller that saw the failure may run more guarded work before it reads why.
  EXPECT_TRUE(guarded(false, [] { return true; }));
  EXPECT_TRUE(runGuarded([] {}));
  EXPECT_EQ(lastKernelFailure(), "first");
  EXPECT_FALSE(runGuarded([] { throw std::runtime_error("second"); }));
  EXPECT_EQ(lastKernelFailure(), "second");
  clearKernelFailure();
  EXPECT_TRUE(lastKernelFailure().empty());
}

TEST_F(KernelGuardTest, UnreadableMessageStillFailsWithoutAnOlderReason) {
  EXPECT_FALSE(runGuarded([] { throw std::runtime_error("older"); }));
  std::string error = "untouched";
  EXPECT_FALSE(runGuarded([] { throw UnreadableFailure(); }, error));
  EXPECT_EQ(lastKernelFailure(), "out of memory");
  EXPECT_EQ(error, "out of memory");
  EXPECT_EQ(guarded(-1, []() -> int { throw UnreadableFailure(); }), -1);
}

TEST_F(KernelGuardTest, ReasonBelongsToTheThreadThatFailed) {
  std::thread other([] { runGuarded([] { throw std::runtime_error("elsewhere"); }); });
  other.join();
  EXPECT_TRUE(lastKernelFailure().empty());
}

}  // namespace
}  // namespace occt_host
