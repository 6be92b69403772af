#include <gtest/gtest.h>

#include <Standard_ConstructionError.hxx>
#include <Standard_Failure.hxx>
#include <gp_Dir.hxx>

#include <stdexcept>
#include <string>

#include "kernel/kernel_guard.h"

namespace occt_host {
namespace {

TEST(KernelGuardTest, KernelExceptionGivesItsTypeAndMessage) {
  std::string error;
  EXPECT_FALSE(runGuarded([] { throw Standard_ConstructionError("bad axis"); }, error));
  EXPECT_NE(error.find("Standard_ConstructionError"), std::string::npos) << error;
  EXPECT_NE(error.find("bad axis"), std::string::npos) << error;
}

TEST(KernelGuardTest, RealKernelFailureIsCaught) {
  std::string error;
  // A zero vector has no direction; the kernel raises Standard_ConstructionError.
  EXPECT_FALSE(runGuarded([] { gp_Dir(0, 0, 0); }, error));
  EXPECT_FALSE(error.empty());
}

TEST(KernelGuardTest, StandardAndUnknownExceptionsAreCaught) {
  std::string error;
  EXPECT_FALSE(runGuarded([] { throw std::runtime_error("plain failure"); }, error));
  EXPECT_EQ(error, "plain failure");
  error.clear();
  EXPECT_FALSE(runGuarded([] { throw 42; }, error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_TRUE(runGuarded([] {}, error));
  EXPECT_TRUE(error.empty());
}

}  // namespace
}  // namespace occt_host
