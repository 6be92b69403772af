#include <gtest/gtest.h>
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "occt_host/exchange/step_documents.h"
#include "occt_host/kernel/inspect.h"
#include "occt_host/model/body.h"
#include "occt_host/model/container.h"
#include "occt_host/model/part.h"
#include "occt_host/session/document.h"
#include "occt_host/session/viewer.h"
#include "processor_test_support.h"
#include "step_samples.h"
#include "vantrel/step_insertion.h"

namespace vantrel::testing {
namespace {

std::string Base64(const std::string& bytes) {
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t n = std::min<size_t>(3, bytes.size() - i);
    uint32_t v = 0;
    for (size_t k = 0; k < 3; ++k)
      v = v << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (size_t k = 0; k < 4; ++k) out.push_back(k <= n ? alphabet[(v >> (18 - 6 * k)) & 63] : '=');
  }
  return out;
}

double Volume(const TopoDS_Shape& shape) {
  GProp_GProps props;
  BRepGProp::VolumeProperties(shape, props);
  return props.Mass();
}

// A running session registered for automation, with the real STEP insertion behind the protocol.
class StepInsertionTest : public ProcessorTest {
 protected:
  void SetUp() override {
    ProcessorTest::SetUp();
    ASSERT_TRUE(session_.registerForAutomation());
    services_ = TransferServices{&drawer_, &insertion_};
  }
  std::shared_ptr<occt_host::Document> Open(const std::string& kind) {
    auto document = session_.newDocument(kind);
    session_.openWindow(document);
    return std::dynamic_pointer_cast<occt_host::Document>(document);
  }
  std::string File(const std::string& name) {
    std::ifstream in(dir_ + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // Sends the file's bytes as a base64 transfer of `count` chunks, each decodable on its own.
  TransferOutcome SendStep(const std::string& name, const std::string& bytes, size_t count) {
    const size_t step = ((bytes.size() / count) / 3 + 1) * 3;
    std::vector<std::string> chunks;
    for (size_t at = 0; at < bytes.size(); at += step)
      chunks.push_back(Base64(bytes.substr(at, step)));
    Send(Packet("transferLargeStart", StartBody(name, int(chunks.size())), "base64"));
    for (size_t i = 0; i < chunks.size(); ++i)
      Send(Packet("transferLargeData", DataBody(name, int(i), chunks[i]), "base64"));
    return Send(Packet("transferLargeEnd", EndBody(name), "base64"));
  }
  bool Logged(const std::string& message) {
    const std::vector<std::string> lines = Messages(TakeProcessorLog());
    return std::find(lines.begin(), lines.end(), message) != lines.end();
  }

  StepInsertion insertion_;
};

TEST_F(StepInsertionTest, APartGainsOneIsolatedBodyHoldingTheFilesSolid) {
  auto document = Open("Part");
  ASSERT_TRUE(
      occt_host::testing::writeBoxStep(dir_ + "/box.step", 10, 20, 30, "Bracket", 200, 30, 40));
  TransferOutcome done = SendStep("Bracket.STEP", File("box.step"), 7);
  EXPECT_EQ(done.kind, TransferOutcomeKind::Completed);
  EXPECT_TRUE(Logged("STEP file inserted and fitted in the active document view."));
  auto part = document->container()->partNode();
  auto body = std::dynamic_pointer_cast<occt_host::Body>(part->childNodes().back());
  ASSERT_TRUE(body);
  EXPECT_NE(body, part->mainBodyNode());
  EXPECT_NEAR(Volume(body->solid()), 6000.0, 1e-6);  // 10 * 20 * 30
  EXPECT_EQ(body->displayName(), "Bracket");
  host::Color color;
  ASSERT_TRUE(body->color(color));
  EXPECT_EQ(color.r, 200);
  // The STEP document was closed again; the view was fitted once.
  EXPECT_EQ(session_.documents().size(), 1u);
  auto viewer =
      std::dynamic_pointer_cast<occt_host::Viewer>(session_.layout()->currentWindow()->viewer());
  EXPECT_EQ(viewer->reframes(), 1);
}

TEST_F(StepInsertionTest, AProductGainsOneComponentPerRootShape) {
  auto document = Open("Product");
  ASSERT_TRUE(occt_host::testing::writeTwoRootsStep(dir_ + "/two.stp"));
  EXPECT_EQ(SendStep("two.stp", File("two.stp"), 3).kind, TransferOutcomeKind::Completed);
  EXPECT_TRUE(Logged("STEP file inserted and fitted in the active document view."));
  std::vector<occt_host::ProductComponent> components = occt_host::productComponents(document);
  ASSERT_EQ(components.size(), 2u);
  EXPECT_EQ(components[0].name, "CubeA");
  EXPECT_EQ(components[1].name, "SlabB");
  EXPECT_NEAR(occt_host::partVolume(components[1].part), 1000.0, 1e-6);  // 20 * 10 * 5
}

TEST_F(StepInsertionTest, OtherDocumentsAreRefusedButTheTransferSucceeds) {
  ASSERT_TRUE(occt_host::testing::writeBoxStep(dir_ + "/box.step", 1, 1, 1, "B", 0, 0, 0));
  EXPECT_EQ(SendStep("a.step", File("box.step"), 1).kind, TransferOutcomeKind::Completed);
  EXPECT_TRUE(Logged("Open a CATPart or CATProduct before inserting a STEP file."));
  Open("Drawing");
  EXPECT_EQ(SendStep("a.step", File("box.step"), 1).kind, TransferOutcomeKind::Completed);
  EXPECT_TRUE(Logged("The active document is not a CATPart or CATProduct."));
}

TEST_F(StepInsertionTest, AFileThatIsNotStepLeavesThePartAsItWas) {
  auto document = Open("Part");
  const size_t children = document->container()->partNode()->childNodes().size();
  EXPECT_EQ(SendStep("junk.step", std::string(300, '\x7f'), 2).kind,
            TransferOutcomeKind::Completed);
  // Documents.Open raises an exception (DISP_E_EXCEPTION) for the unreadable file.
  EXPECT_TRUE(Logged("Insert STEP file failed (HRESULT=0x80020009)"));
  EXPECT_EQ(document->container()->partNode()->childNodes().size(), children);
  EXPECT_EQ(session_.documents().size(), 1u);
}

}  // namespace
}  // namespace vantrel::testing
