// A factory of the host that gets a null handle back from the kernel leaves the kernel's
// reason readable on the calling thread.
#include "host/document_services.h"
#include "host/wireframe.h"
#include "kernel/kernel_guard.h"
#include "occt_host/session/application_frame.h"
#include "part_fixture.h"

namespace occt_host::testing {
namespace {

class KernelFailureReasonTest : public PartFixture {
 protected:
  void SetUp() override {
    PartFixture::SetUp();
    wireframe = host::query<host::WireframeFactory>(container);
    ASSERT_TRUE(wireframe);
    clearKernelFailure();
  }
  std::shared_ptr<host::WireframeFactory> wireframe;
};

TEST_F(KernelFailureReasonTest, PlaneOnADirectionTooSmallForTheKernel) {
  // The normal u x v = (0, 0, 1e-10) passes the host's own check, but u's length is below
  // the kernel's resolution, so its direction cannot be built.
  const host::Plane plane{{0, 0, 0}, {1e-310, 0, 0}, {0, 1e300, 0}};
  EXPECT_FALSE(wireframe->createPlane(plane));
  EXPECT_EQ(lastKernelFailure(),
            "Standard_ConstructionError: gp_Dir() - input vector has zero norm");
}

TEST_F(KernelFailureReasonTest, LaterSuccessfulCallKeepsTheReason) {
  EXPECT_FALSE(wireframe->createPlane({{0, 0, 0}, {1e-310, 0, 0}, {0, 1e300, 0}}));
  EXPECT_TRUE(wireframe->createPlane({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
  EXPECT_TRUE(lastKernelFailure().find("Standard_ConstructionError") != std::string::npos)
      << lastKernelFailure();
}

TEST_F(KernelFailureReasonTest, OpeningAMissingFileSaysWhy) {
  host::DocumentServices& documents = session.frame();
  std::shared_ptr<host::Document> opened;
  EXPECT_EQ(documents.openDocument("/nonexistent/tolvane/part.bin", opened), host::kFail);
  EXPECT_FALSE(opened);
  EXPECT_EQ(lastKernelFailure(), "cannot open /nonexistent/tolvane/part.bin");
}

}  // namespace
}  // namespace occt_host::testing
