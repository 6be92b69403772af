#include "vantrel/transfer_data_processor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host/application.h"
#include "host/environment.h"
#include "occt_host/session/application_frame.h"
#include "platform/environment.h"
#include "platform/module_path.h"
#include "processor_test_support.h"
#include "scripted_environment.h"

namespace vantrel::testing {
namespace {

using ::testing::ElementsAre;

TEST(PayloadKindTest, ProductWinsOverSequences) {
  EXPECT_EQ(DetectPayloadKind(R"({"sequences":[],"partList":[]})"), PayloadKind::Product);
  EXPECT_EQ(DetectPayloadKind(R"({"sequences":[]})"), PayloadKind::PartSequences);
  EXPECT_EQ(DetectPayloadKind(R"({"flatNode":[]})"), PayloadKind::PartAuto);
  EXPECT_EQ(DetectPayloadKind("{}"), PayloadKind::PartAuto);
}

TEST(PayloadKindTest, PlainSubstringOfTheQuotedKey) {
  // The quoted key, here as a string value, is found without parsing.
  EXPECT_EQ(DetectPayloadKind(R"({"name":"partList"})"), PayloadKind::Product);
  EXPECT_EQ(DetectPayloadKind(R"({"note":"x","partList":1})"), PayloadKind::Product);
  EXPECT_EQ(DetectPayloadKind(R"({"partListX":[]})"), PayloadKind::PartAuto);
  EXPECT_EQ(DetectPayloadKind(R"({"sequencesX":[]})"), PayloadKind::PartAuto);
  EXPECT_STREQ(DocumentTypeFor(PayloadKind::Product), "Product");
  EXPECT_STREQ(DocumentTypeFor(PayloadKind::PartSequences), "Part");
  EXPECT_STREQ(DocumentTypeFor(PayloadKind::PartAuto), "Part");
}

TEST(ResolveCorePathTest, EnvironmentFirstWithinItsLength) {
  ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", "/opt/x/libKestrun.so"));
  EXPECT_EQ(TransferDataProcessor::ResolveCorePath(), "/opt/x/libKestrun.so");
  const std::string longest(259, 'a');
  ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", longest));
  EXPECT_EQ(TransferDataProcessor::ResolveCorePath(), longest);
  ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", std::string(260, 'a')));
  const std::string beside = TransferDataProcessor::ResolveCorePath();
  ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", ""));
  EXPECT_EQ(TransferDataProcessor::ResolveCorePath(), beside);
  platform::UnsetEnv("TOLVANE_MARDEL_CORE_DLL");
  EXPECT_EQ(TransferDataProcessor::ResolveCorePath(), beside);
}

TEST(ResolveCorePathTest, BesideTheModuleThatHoldsTheProcessor) {
  platform::UnsetEnv("TOLVANE_MARDEL_CORE_DLL");
  // The processor is linked into this test program, so its folder is the program's.
  static const int anchor = 0;
  const std::string self = platform::ModulePathOf(&anchor).value_or("");
  ASSERT_FALSE(self.empty());
  EXPECT_EQ(TransferDataProcessor::ResolveCorePath(),
            self.substr(0, self.rfind('/')) + "/Fennick/bin/libKestrun.so");
}

TEST(FillFailureResultTest, ClearsAndCutsTheTexts) {
  MardelImportResult result{};
  result.createdCount = 9;
  result.hasWarnings = 1;
  TransferDataProcessor::FillFailureResult(result, std::string(600, 'm'), "detail");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.errorCode, 100);
  EXPECT_EQ(result.createdCount, 0u);
  EXPECT_EQ(result.hasWarnings, 0);
  EXPECT_EQ(std::string(result.message), std::string(511, 'm'));
  EXPECT_STREQ(result.warning, "detail");
}

TEST(DrawDelayTest, ProcessWideValueStartsAtZero) {
  EXPECT_EQ(TransferDataProcessor::DrawDelayMs(), 0u);
  TransferDataProcessor::SetDrawDelayMs(250);
  EXPECT_EQ(TransferDataProcessor::DrawDelayMs(), 250u);
  TransferDataProcessor::SetDrawDelayMs(0);
}

class ProcessorUnitTest : public ProcessorTest {};

TEST_F(ProcessorUnitTest, ResultTextsEachOnTheirOwnLine) {
  MardelImportResult result{};
  TransferDataProcessor::FillFailureResult(result, "first", "second");
  TransferDataProcessor::LogResultTexts(result);
  TransferDataProcessor::FillFailureResult(result, "", "only the warning");
  TransferDataProcessor::LogResultTexts(result);
  TransferDataProcessor::FillFailureResult(result, "", "");
  TransferDataProcessor::LogResultTexts(result);
  EXPECT_THAT(TakeProcessorLog(),
              ElementsAre("INFO transfer.processor first", "INFO transfer.processor second",
                          "INFO transfer.processor only the warning"));
}

TEST_F(ProcessorUnitTest, OnlyJsonModeIsDrawn) {
  session_.openWindow(session_.newDocument("Part"));
  drawer_.ProcessTransfer("text", "{}");
  drawer_.ProcessTransfer("texts", "{}");
  drawer_.ProcessTransfer("jsons", "{}");
  EXPECT_TRUE(TakeProcessorLog().empty());
  drawer_.ProcessTransfer("json", "");
  EXPECT_THAT(Messages(TakeProcessorLog()), ElementsAre("TransferDataProcessor::JsonEmpty"));
}

TEST_F(ProcessorUnitTest, TextTransfersAreNeverDrawn) {
  session_.openWindow(session_.newDocument("Part"));
  HandleTransferPacket(table_, Packet("transferSingle", "{}", "text"), drawing_);
  EXPECT_TRUE(TakeProcessorLog().empty());
}

TEST_F(ProcessorUnitTest, MissingCoreFileIsLoggedWithThatPathAndNoFallback) {
  auto part = session_.newDocument("Part");
  session_.openWindow(part);
  const std::string missing = "/nonexistent/Fennick/bin/libKestrun.so";
  ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", missing));
  drawer_.DrawJson("{}");
  EXPECT_THAT(Messages(TakeProcessorLog()),
              ElementsAre("TransferDataProcessor::LoadLibraryFailed path=" + missing + " error=2"));
  EXPECT_FALSE(drawer_.LastDraw(part));
}

TEST_F(ProcessorUnitTest, ModuleWithoutTheDrawEntry) {
  session_.openWindow(session_.newDocument("Part"));
  ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", NOT_A_CORE_PATH));
  drawer_.DrawJson("{}");
  EXPECT_THAT(Messages(TakeProcessorLog()),
              ElementsAre("TransferDataProcessor::GetProcAddressDrawJsonFailed error=127"));
}

TEST_F(ProcessorUnitTest, CoreWithoutProductExportsStillDrawsParts) {
  auto part = session_.newDocument("Part");
  session_.openWindow(part);
  ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", FAKE_CORE_PATH));
  TransferDataProcessor::SetDrawDelayMs(7);
  drawer_.DrawJson(R"({"sequences":[]})");
  EXPECT_THAT(Messages(TakeProcessorLog()),
              ElementsAre("TransferDataProcessor::ImportStatus status=0 resultStatus=0 "
                          "errorCode=0 created=16",
                          "fake core drew into a document",
                          "mode=1 clearPart=1 radius=300 height=500 prepared=0 delay=7"));
  auto last = drawer_.LastDraw(part);
  ASSERT_TRUE(last);
  EXPECT_EQ(last->status, 0);
  EXPECT_EQ(last->result.createdCount, 16u);
  EXPECT_FALSE(ModuleLoaded(FAKE_CORE_PATH));
}

TEST_F(ProcessorUnitTest, ProductNeedsTheProductExports) {
  session_.openWindow(session_.newDocument("Product"));
  ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", FAKE_CORE_PATH));
  drawer_.DrawJson(R"({"partList":[]})");
  EXPECT_THAT(Messages(TakeProcessorLog()),
              ElementsAre("TransferDataProcessor::GetProcAddressProductPrepFailed error=127"));
}

TEST_F(ProcessorUnitTest, ProductListRefusalStopsBeforeAnyPartIsMade) {
  auto product = session_.newDocument("Product");
  session_.openWindow(product);
  ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", FAKE_PRODUCT_CORE_PATH));
  drawer_.DrawJson(R"({"partList":[]})");
  // The stand-in's list refuses without filling its result, which is copied as it is.
  auto messages = Messages(TakeProcessorLog());
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0].rfind("TransferDataProcessor::ProductExportFolder path=", 0), 0u);
  EXPECT_EQ(messages[1], "TransferDataProcessor::ListProductSourcePartsFailed");
  EXPECT_EQ(messages[2],
            "TransferDataProcessor::ImportStatus status=2 resultStatus=0 errorCode=0 created=0");
  ASSERT_TRUE(drawer_.LastDraw(product));
  EXPECT_EQ(drawer_.LastDraw(product)->status, 2);
  EXPECT_EQ(session_.documents().size(), 1u);
  EXPECT_FALSE(ModuleLoaded(FAKE_PRODUCT_CORE_PATH));
  const std::string prefix = "TransferDataProcessor::ProductExportFolder path=";
  std::error_code ignored;
  std::filesystem::remove_all(messages[0].substr(prefix.size()), ignored);
}

TEST_F(ProcessorUnitTest, NoProductOpenCreatesOneInteractively) {
  ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", FAKE_CORE_PATH));
  drawer_.DrawJson(R"({"partList":[]})");
  EXPECT_THAT(Messages(TakeProcessorLog()),
              ElementsAre("TransferDataProcessor::ActiveEditorMissing",
                          "TransferDataProcessor::UseAutoCreatedProduct",
                          "TransferDataProcessor::InteractiveCreateSuccessProduct",
                          "TransferDataProcessor::GetProcAddressProductPrepFailed error=127"));
  ASSERT_EQ(session_.documents().size(), 1u);
  EXPECT_EQ(session_.documents()[0]->kind(), "Product");
}

TEST_F(ProcessorUnitTest, WithoutAnInteractiveSessionTheDocumentGetsAWindowOfItsOwn) {
  session_.frame().setInteractiveAvailable(false);
  session_.openWindow(session_.newDocument("Drawing"));
  ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", FAKE_CORE_PATH));
  auto created = TransferDataProcessor::AutoCreateDocument(PayloadKind::PartAuto);
  ASSERT_TRUE(created);
  EXPECT_EQ(created->kind(), "Part");
  EXPECT_THAT(Messages(TakeProcessorLog()),
              ElementsAre("TransferDataProcessor::InteractiveSessionUnavailable",
                          "TransferDataProcessor::AutoCreateSuccessPart",
                          "TransferDataProcessor::VisibleWindowCreatedPart"));
  auto application = session_.application();
  auto current = session_.layout()->currentWindow();
  ASSERT_TRUE(current);
  EXPECT_TRUE(host::sameObject(current->editor()->document(), created));
  EXPECT_TRUE(host::sameObject(application->currentEditor()->document(), created));
  EXPECT_TRUE(host::sameObject(session_.frame().activeEditor()->document(), created));
}

TEST_F(ProcessorUnitTest, WithoutAHostNothingIsCreated) {
  // Without a host environment neither way of creating a document has a session to ask.
  auto saved = host::environment();
  host::setEnvironment(nullptr);
  EXPECT_FALSE(TransferDataProcessor::AutoCreateDocument(PayloadKind::Product));
  host::setEnvironment(saved);
  EXPECT_THAT(Messages(TakeProcessorLog()),
              ElementsAre("TransferDataProcessor::InteractiveSessionMissing",
                          "TransferDataProcessor::AutoCreateProductFailed hr=-2147467259"));
}

}  // namespace
}  // namespace vantrel::testing

namespace vantrel::testing {
namespace {

class ProcessorHostFailureTest : public ProcessorTest {
 protected:
  void SetUp() override {
    ProcessorTest::SetUp();
    ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", FAKE_CORE_PATH));
  }
};

TEST_F(ProcessorHostFailureTest, CurrentEditorWithoutDocument) {
  ScriptedEnvironment env;
  env.scripted->currentEditorWithoutDocument = true;
  drawer_.DrawJson("{}");
  auto messages = Messages(TakeProcessorLog());
  ASSERT_GE(messages.size(), 4u);
  EXPECT_THAT(std::vector<std::string>(messages.begin(), messages.begin() + 4),
              ElementsAre("TransferDataProcessor::ActiveDocumentMissing",
                          "TransferDataProcessor::UseAutoCreatedPart",
                          "TransferDataProcessor::InteractiveCreateSuccessPart",
                          "TransferDataProcessor::ImportStatus status=0 resultStatus=0 "
                          "errorCode=0 created=2"));
}

TEST_F(ProcessorHostFailureTest, InteractiveFailureFallsBackToANewDocumentAndItsWindow) {
  ScriptedEnvironment env;
  env.scripted->interactiveFails = true;
  auto created = TransferDataProcessor::AutoCreateDocument(PayloadKind::PartSequences);
  ASSERT_TRUE(created);
  EXPECT_THAT(Messages(TakeProcessorLog()),
              ElementsAre("TransferDataProcessor::InteractivePartCreateFailed hr=-2147467263",
                          "TransferDataProcessor::AutoCreateSuccessPart",
                          "TransferDataProcessor::VisibleWindowCreatedPart"));
  EXPECT_TRUE(host::sameObject(session_.layout()->currentWindow()->editor()->document(), created));
}

TEST_F(ProcessorHostFailureTest, InteractiveEditorWithoutDocument) {
  ScriptedEnvironment env;
  env.scripted->interactiveEditorWithoutDocument = true;
  EXPECT_TRUE(TransferDataProcessor::AutoCreateDocument(PayloadKind::Product));
  EXPECT_THAT(Messages(TakeProcessorLog()),
              ElementsAre("TransferDataProcessor::InteractiveDocumentMissingProduct",
                          "TransferDataProcessor::AutoCreateSuccessProduct",
                          "TransferDataProcessor::VisibleWindowCreatedProduct"));
}

TEST_F(ProcessorHostFailureTest, NoEditorForTheNewDocument) {
  ScriptedEnvironment env;
  env.scripted->interactiveFails = true;
  env.scripted->editorFails = true;
  auto created = TransferDataProcessor::AutoCreateDocument(PayloadKind::PartAuto);
  EXPECT_TRUE(created);
  EXPECT_THAT(Messages(TakeProcessorLog()),
              ElementsAre("TransferDataProcessor::InteractivePartCreateFailed hr=-2147467263",
                          "TransferDataProcessor::AutoCreateSuccessPart",
                          "TransferDataProcessor::VisibleEditorFailedPart"));
  EXPECT_TRUE(session_.layout()->windows().empty());
}

TEST_F(ProcessorHostFailureTest, NoWindowForTheNewDocumentStillMakesItCurrent) {
  ScriptedEnvironment env;
  env.scripted->interactiveFails = true;
  env.scripted->windowFails = true;
  auto created = TransferDataProcessor::AutoCreateDocument(PayloadKind::PartAuto);
  ASSERT_TRUE(created);
  EXPECT_THAT(Messages(TakeProcessorLog()),
              ElementsAre("TransferDataProcessor::InteractivePartCreateFailed hr=-2147467263",
                          "TransferDataProcessor::AutoCreateSuccessPart",
                          "TransferDataProcessor::VisibleWindowMissingPart"));
  EXPECT_TRUE(host::sameObject(session_.application()->currentEditor()->document(), created));
  EXPECT_TRUE(host::sameObject(session_.frame().activeEditor()->document(), created));
}

}  // namespace
}  // namespace vantrel::testing
