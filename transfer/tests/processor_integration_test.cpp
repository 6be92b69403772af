// The protocol wired to the real processor and the real core module, loaded by path.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "host/application.h"
#include "occt_host/kernel/inspect.h"
#include "processor_test_support.h"

namespace vantrel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// π·10²·20: the circle of radius 10 extruded by 20.
const double kCircleVolume = M_PI * 10.0 * 10.0 * 20.0;

class ProcessorIntegrationTest : public ProcessorTest {};

TEST_F(ProcessorIntegrationTest, ChunkedPartIsDrawnIntoTheActivePartAndTheCoreUnloaded) {
  auto part = session_.newDocument("Part");
  session_.openWindow(part);
  TransferOutcome outcome = SendChunked("part", kCirclePartJson, 40);
  EXPECT_EQ(outcome.kind, TransferOutcomeKind::Completed);
  EXPECT_NEAR(occt_host::partVolume(part), kCircleVolume, kCircleVolume * 1e-6);
  EXPECT_THAT(Messages(TakeProcessorLog()),
              ElementsAre("TransferDataProcessor::ImportStatus status=0 resultStatus=0 "
                          "errorCode=0 created=2",
                          "Part JSON imported."));
  EXPECT_FALSE(ModuleLoaded(KESTRUN_MODULE_PATH));
  auto last = drawer_.LastDraw(part);
  ASSERT_TRUE(last);
  EXPECT_EQ(last->status, 0);
  EXPECT_EQ(session_.documents().size(), 1u);
}

TEST_F(ProcessorIntegrationTest, ProductActiveRetriesInANewPart) {
  auto product = session_.newDocument("Product");
  session_.openWindow(product);
  SendChunked("part", kCirclePartJson, 64);
  std::vector<std::string> log = Messages(TakeProcessorLog());
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[0], "TransferDataProcessor::RetryWithAutoCreatedPart");
  EXPECT_EQ(log[1], "TransferDataProcessor::InteractiveCreateSuccessPart");
  EXPECT_EQ(log[2],
            "TransferDataProcessor::ImportStatus status=0 resultStatus=0 errorCode=0 created=2");
  int importLines = 0;
  for (const std::string& line : log) importLines += line.find("ImportStatus") != std::string::npos;
  EXPECT_EQ(importLines, 1);
  ASSERT_EQ(session_.documents().size(), 2u);
  auto part = session_.documents()[1];
  EXPECT_EQ(part->kind(), "Part");
  EXPECT_NEAR(occt_host::partVolume(part), kCircleVolume, kCircleVolume * 1e-6);
  EXPECT_TRUE(drawer_.LastDraw(part));
  EXPECT_FALSE(drawer_.LastDraw(product));
  // The new Part is shown and is where the user now works.
  auto current = session_.layout()->currentWindow();
  ASSERT_TRUE(current);
  EXPECT_TRUE(host::sameObject(current->editor()->document(), part));
  EXPECT_TRUE(host::sameObject(session_.application()->currentEditor()->document(), part));
}

TEST_F(ProcessorIntegrationTest, NoDocumentOpenCreatesAPart) {
  HandleTransferPacket(table_, Packet("transferSingle", "{}", "json"), drawing_);
  std::vector<std::string> log = Messages(TakeProcessorLog());
  ASSERT_GE(log.size(), 4u);
  EXPECT_THAT(std::vector<std::string>(log.begin(), log.begin() + 4),
              ElementsAre("TransferDataProcessor::ActiveEditorMissing",
                          "TransferDataProcessor::UseAutoCreatedPart",
                          "TransferDataProcessor::InteractiveCreateSuccessPart",
                          "TransferDataProcessor::ImportStatus status=1 resultStatus=1 "
                          "errorCode=0 created=2"));
  for (const std::string& line : log) EXPECT_THAT(line, ::testing::Not(HasSubstr("Retry")));
  ASSERT_EQ(session_.documents().size(), 1u);
  // The fallback cylinder: π·300²·500.
  const double cylinder = M_PI * 300.0 * 300.0 * 500.0;
  EXPECT_NEAR(occt_host::partVolume(session_.documents()[0]), cylinder, cylinder * 1e-6);
}

TEST_F(ProcessorIntegrationTest, NestedDrawDuringAPauseIsRefusedAndOnlyLogged) {
  auto part = session_.newDocument("Part");
  session_.openWindow(part);
  TransferDataProcessor::SetDrawDelayMs(30);
  // Handled while the first draw pauses after its first item.
  bool nestedHandled = false;
  session_.eventLoop().post([&] {
    HandleTransferPacket(table_, Packet("transferSingle", "{}", "json"), drawing_);
    nestedHandled = true;
  });
  SendChunked("part", kCirclePartJson, 50);
  EXPECT_TRUE(nestedHandled);
  EXPECT_THAT(Messages(TakeProcessorLog()),
              ElementsAre("TransferDataProcessor::ImportStatus status=2 resultStatus=2 "
                          "errorCode=100 created=0",
                          "MardelImport_DrawJson reentrant calls are not supported.",
                          "TransferDataProcessor::ImportStatus status=0 resultStatus=0 "
                          "errorCode=0 created=2",
                          "Part JSON imported."));
  EXPECT_NEAR(occt_host::partVolume(part), kCircleVolume, kCircleVolume * 1e-6);
  EXPECT_EQ(drawer_.LastDraw(part)->status, 0);
  EXPECT_FALSE(ModuleLoaded(KESTRUN_MODULE_PATH));
}

}  // namespace
}  // namespace vantrel::testing
